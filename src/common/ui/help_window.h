#pragma once
// The help window: the shipped help pages in a browser with "Tilbake",
// "Frem" and "Innhold". There is at most one; asking for help again shows
// the new page in it and brings it to the front.

#include <filesystem>

#include <QWidget>

#include "common/help_topics.h"

class QPushButton;
class QTextBrowser;

namespace lagrull {

class Ui;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* owner = nullptr);

    // Shows `page` (scrolled to its anchor); "Innhold" leads to `start`.
    void showPage(const HelpPage& page, const HelpPage& start);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QPushButton* btBack_;
    QPushButton* btForward_;
    QPushButton* btContents_;
    HelpPage start_;
};

// Opens or raises the help window on the topic's page, with the help files
// beside the program. A failure (such as missing help files) is shown as an
// error box.
void showHelp(int topic, RegisterKind kind);
// The same with the help directory and the Ui for messages given; returns
// the window, or nullptr when the help could not be shown.
THelpWindow* showHelp(int topic, RegisterKind kind, const std::filesystem::path& helpDirectory,
                      Ui& ui);

// The open help window, or nullptr.
THelpWindow* helpWindow();

}  // namespace lagrull
