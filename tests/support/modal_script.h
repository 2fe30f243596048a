#pragma once
// Offscreen tests of modal windows: the one QApplication of a test program,
// and a script that plays one action on each modal window as it comes up.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

namespace lagrull::test {

// One application for the whole run, never destroyed: the input devices
// QTest makes would otherwise be freed twice at exit.
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "lagrull_test";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

// An action that opens another modal window must leave the script's own
// timer first (QTimer::singleShot), since the timer does not fire while
// its action runs.
class ModalScript {
public:
    explicit ModalScript(std::deque<std::function<void(QWidget*)>> actions)
        : actions_(std::move(actions)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || !w->isVisible() || w == last_ || actions_.empty()) return;
            last_ = w;
            auto action = std::move(actions_.front());
            actions_.pop_front();
            action(w);
        });
        timer_.start(5);
    }
    bool done() const { return actions_.empty(); }

private:
    std::deque<std::function<void(QWidget*)>> actions_;
    QTimer timer_;
    QWidget* last_ = nullptr;
};

// The modal window as the class the script expects.
template <class T>
T* as(QWidget* w) {
    T* t = qobject_cast<T*>(w);
    EXPECT_NE(t, nullptr) << w->objectName().toStdString();
    return t;
}

}  // namespace lagrull::test
