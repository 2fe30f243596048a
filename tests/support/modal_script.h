#pragma once
// Drives modal windows in Qt tests: plays one action on each modal window as
// it comes up, so a test can step through a wizard whose windows run their
// own event loops.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

namespace lagrull::test {

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
