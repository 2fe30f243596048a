#pragma once
// The program's main window. For now it carries the caption and the frame;
// the register's pages, menus and tool bar join it as they are built.

#include <QMainWindow>
#include <string>

namespace lagrull {

// " L a g r u l l  " + version + "  -  Medlemsregister", or
// "  -  Husleieregister" for the rent register (register kind 1).
std::string mainWindowCaption(const std::string& version, int registerKind);

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(int registerKind, QWidget* parent = nullptr);
};

}  // namespace lagrull
