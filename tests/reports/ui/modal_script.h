#pragma once
// What the window tests share: one QApplication for the whole run, and a
// script that plays one action on each modal window as it comes up.

#include <QApplication>
#include <QTimer>
#include <deque>
#include <functional>

namespace lagrull::test {

// One application for the whole run. It is never destroyed: the input
// devices QTest makes would otherwise be freed twice at exit.
inline QApplication& app() {
    static int argc = 1;
    static char name[] = "test_reports_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

// Plays one action on each modal window as it comes up.
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
            last_ = nullptr;
        });
        timer_.start(5);
    }
    bool done() const { return actions_.empty(); }

private:
    std::deque<std::function<void(QWidget*)>> actions_;
    QTimer timer_;
    QWidget* last_ = nullptr;
};

}  // namespace lagrull::test
