#pragma once
// The Qt application with the register's default exception handler: an
// exception that leaves an event handler is shown in an error box and the
// program goes on; a fatal one is shown and ends the program.

#include <QApplication>

namespace lagrull {

class Ui;

class Application : public QApplication {
public:
    Application(int& argc, char** argv, Ui& ui);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Ui& ui_;
};

}  // namespace lagrull
