#include "data/ui/db_navigator.h"

#include <QAction>
#include <QApplication>
#include <QStyle>

#include "common/ui/masked_edit.h"

namespace lagrull {

namespace {

QIcon iconOf(QStyle* style, NavButton b) {
    switch (b) {
        case NavButton::First: return style->standardIcon(QStyle::SP_MediaSkipBackward);
        case NavButton::Prior: return style->standardIcon(QStyle::SP_MediaSeekBackward);
        case NavButton::Next: return style->standardIcon(QStyle::SP_MediaSeekForward);
        case NavButton::Last: return style->standardIcon(QStyle::SP_MediaSkipForward);
        case NavButton::Insert: return style->standardIcon(QStyle::SP_FileDialogNewFolder);
        case NavButton::Delete: return style->standardIcon(QStyle::SP_TrashIcon);
        case NavButton::Edit: return style->standardIcon(QStyle::SP_FileDialogDetailedView);
        case NavButton::Post: return style->standardIcon(QStyle::SP_DialogApplyButton);
        case NavButton::Cancel: return style->standardIcon(QStyle::SP_DialogCancelButton);
    }
    return {};
}

// A short text beside the icon, so that the buttons read without hovering.
QString shortText(NavButton b) {
    switch (b) {
        case NavButton::First: return "|<";
        case NavButton::Prior: return "<";
        case NavButton::Next: return ">";
        case NavButton::Last: return ">|";
        case NavButton::Insert: return "+";
        case NavButton::Delete: return "−";
        case NavButton::Edit: return "✎";
        case NavButton::Post: return "✓";
        case NavButton::Cancel: return "✗";
    }
    return {};
}

}  // namespace

TDBNavigator::TDBNavigator(const std::vector<std::pair<NavButton, QString>>& buttons,
                           QWidget* parent)
    : QToolBar(parent) {
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const auto& [button, hint] : buttons) {
        QAction* a = addAction(iconOf(style(), button), shortText(button));
        a->setToolTip(hint);
        a->setStatusTip(hint);
        actions_[button] = a;
        connect(a, &QAction::triggered, this, [this, b = button] { press(b); });
    }
    updateButtons();
}

void TDBNavigator::setTable(data::TOrvTable* table) {
    subscription_.reset();
    table_ = table;
    if (table_)
        subscription_ = table_->subscribe([this](data::TableEvent e) {
            if (e == data::TableEvent::Destroyed) table_ = nullptr;
            updateButtons();
        });
    updateButtons();
}

QAction* TDBNavigator::action(NavButton button) const {
    const auto it = actions_.find(button);
    return it == actions_.end() ? nullptr : it->second;
}

void TDBNavigator::setHandler(NavButton button, std::function<void()> handler) {
    handlers_[button] = std::move(handler);
}

void TDBNavigator::press(NavButton button) {
    if (!table_ || !table_->active()) return;
    // Saving from the tool bar or the keyboard leaves the cursor where it
    // is: the field's own check runs first.
    if (button == NavButton::Post)
        if (auto* field = qobject_cast<TFastEdit*>(QApplication::focusWidget());
            field && window()->isAncestorOf(field) && !field->checkBeforePost())
            return;
    if (auto it = handlers_.find(button); it != handlers_.end() && it->second) {
        it->second();
        return;
    }
    switch (button) {
        case NavButton::First: table_->first(); break;
        case NavButton::Prior: table_->prior(); break;
        case NavButton::Next: table_->next(); break;
        case NavButton::Last: table_->last(); break;
        case NavButton::Insert: table_->insert(); break;
        case NavButton::Delete:
            if (table_->editing() && table_->state() == data::DataSetState::Insert)
                table_->cancel();
            else if (table_->recordCount() > 0)
                table_->remove();
            break;
        case NavButton::Edit: table_->edit(); break;
        case NavButton::Post: table_->post(); break;
        case NavButton::Cancel: table_->cancel(); break;
    }
    updateButtons();
}

void TDBNavigator::updateButtons() {
    const bool open = table_ && table_->active();
    const bool editing = open && table_->editing();
    const long long rows = open ? table_->recordCount() : 0;
    const long long at = open ? table_->recNo() : 0;
    auto set = [this](NavButton b, bool on) {
        if (QAction* a = action(b)) a->setEnabled(on);
    };
    set(NavButton::First, open && !editing && rows > 0 && at > 1);
    set(NavButton::Prior, open && !editing && rows > 0 && at > 1);
    set(NavButton::Next, open && !editing && rows > 0 && at < rows);
    set(NavButton::Last, open && !editing && rows > 0 && at < rows);
    set(NavButton::Insert, open && !editing);
    set(NavButton::Delete, open && (rows > 0 || editing));
    set(NavButton::Edit, open && !editing && rows > 0);
    set(NavButton::Post, editing);
    set(NavButton::Cancel, editing);
}

}  // namespace lagrull
