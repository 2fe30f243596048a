#include "common/ui/qt_ui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "common/ui/progress_dialog.h"
#include "common/ui/wait_dialog.h"

namespace lagrull {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

std::optional<std::string> chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

QString startPath(const FileRequest& r) {
    if (r.fileName.empty()) return q(r.directory);
    if (r.directory.empty()) return q(r.fileName);
    return q(r.directory + (r.directory.back() == '/' ? "" : "/") + r.fileName);
}

}  // namespace

QWidget* dialogOwner() {
    if (QWidget* active = QApplication::activeModalWidget()) return active;
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) return w;
    return nullptr;
}

std::string qtFileFilter(const std::string& filter) {
    std::string out;
    std::size_t pos = 0;
    while (pos < filter.size()) {
        const std::size_t bar = filter.find('|', pos);
        const std::string name = filter.substr(pos, bar == std::string::npos ? bar : bar - pos);
        if (!out.empty()) out += ";;";
        if (bar == std::string::npos) {
            out += name;
            break;
        }
        const std::size_t next = filter.find('|', bar + 1);
        std::string patterns =
            filter.substr(bar + 1, next == std::string::npos ? next : next - bar - 1);
        for (char& c : patterns)
            if (c == ';') c = ' ';
        out.append(name).append(" (").append(patterns).append(")");
        if (next == std::string::npos) break;
        pos = next + 1;
    }
    return out;
}

QtUi::QtUi() = default;
QtUi::~QtUi() = default;

Answer QtUi::doMessage(const std::string& caption, const std::string& text, Buttons buttons,
                       Icon icon) {
    QMessageBox box(dialogOwner());
    box.setWindowTitle(q(caption));
    box.setText(q(text));
    switch (icon) {
        case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
        case Icon::Error: box.setIcon(QMessageBox::Critical); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    // Norwegian captions on the buttons; Escape gives Cancel, else No.
    struct Choice {
        QMessageBox::ButtonRole role;
        const char* text;
        Answer answer;
    };
    std::vector<Choice> choices;
    switch (buttons) {
        case Buttons::Ok: choices = {{QMessageBox::AcceptRole, "OK", Answer::Ok}}; break;
        case Buttons::OkCancel:
            choices = {{QMessageBox::AcceptRole, "OK", Answer::Ok},
                       {QMessageBox::RejectRole, "Avbryt", Answer::Cancel}};
            break;
        case Buttons::YesNo:
            choices = {{QMessageBox::YesRole, "&Ja", Answer::Yes},
                       {QMessageBox::NoRole, "&Nei", Answer::No}};
            break;
        case Buttons::YesNoCancel:
            choices = {{QMessageBox::YesRole, "&Ja", Answer::Yes},
                       {QMessageBox::NoRole, "&Nei", Answer::No},
                       {QMessageBox::RejectRole, "Avbryt", Answer::Cancel}};
            break;
    }
    std::vector<std::pair<QAbstractButton*, Answer>> made;
    made.reserve(choices.size());
    for (const Choice& c : choices)
        made.emplace_back(box.addButton(QString::fromUtf8(c.text), c.role), c.answer);
    box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    box.setEscapeButton(made.back().first);
    const bool waitShown = wait_ != nullptr;
    if (waitShown) wait_->hide();  // a box must not hide behind the wait window
    box.exec();
    if (waitShown && wait_) wait_->show();
    for (const auto& [button, answer] : made)
        if (box.clickedButton() == button) return answer;
    return made.back().second;
}

std::optional<std::string> QtUi::inputBox(const std::string& caption, const std::string& prompt,
                                          const std::string& value) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(dialogOwner(), q(prepareMessageText(caption)),
                              q(prepareMessageText(prompt)), QLineEdit::Normal, q(value), &ok);
    if (!ok) return std::nullopt;
    return answer.toStdString();
}

void QtUi::doShowWait(const std::string& caption, const std::string& text) {
    closeWait();
    wait_ = std::make_unique<WaitDialog>(dialogOwner(), q(caption), q(text));
    wait_->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);  // restored by closeWait
    // Paint it now: the step that follows keeps the event loop busy.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::closeWait() {
    if (!wait_) return;
    wait_->close();
    wait_.reset();
    QApplication::restoreOverrideCursor();
}

void QtUi::progressBegin() {
    progress_ = std::make_unique<ProgressDialog>(dialogOwner());
    progress_->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::progressSet(int percent) {
    if (progress_) progress_->setPercent(percent);
}

void QtUi::progressEnd() {
    if (!progress_) return;
    progress_->setPercent(100);
    // The full gauge stays a moment so that the user sees the pass ended.
    QEventLoop loop;
    QTimer::singleShot(progressLinger_, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    progress_->close();
    progress_.reset();
}

std::optional<std::string> QtUi::openFileName(const FileRequest& r) {
    return chosen(QFileDialog::getOpenFileName(dialogOwner(), q(r.caption), startPath(r),
                                               q(qtFileFilter(r.filter))));
}

std::optional<std::string> QtUi::saveFileName(const FileRequest& r) {
    return chosen(QFileDialog::getSaveFileName(dialogOwner(), q(r.caption), startPath(r),
                                               q(qtFileFilter(r.filter))));
}

std::optional<std::string> QtUi::directoryName(const FileRequest& r, bool mayCreate) {
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    if (!mayCreate) options |= QFileDialog::ReadOnly;
    return chosen(
        QFileDialog::getExistingDirectory(dialogOwner(), q(r.caption), q(r.directory), options));
}

void QtUi::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtUi::processEvents() { QCoreApplication::processEvents(); }

QWidget* QtUi::waitWindow() const { return wait_.get(); }
QWidget* QtUi::progressWindow() const { return progress_.get(); }

}  // namespace lagrull
