#pragma once
// The record navigator: first, previous, next, last, new, delete, edit,
// save and cancel for one table object, each button enabled only when its
// action makes sense for the table's state.

#include <QToolBar>
#include <functional>
#include <map>
#include <string>

#include "data/orv_table.h"

class QToolButton;

namespace lagrull {

enum class NavButton { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel };

class TDBNavigator : public QToolBar {
    Q_OBJECT
public:
    // `buttons` in the order shown, each with its hint.
    TDBNavigator(const std::vector<std::pair<NavButton, QString>>& buttons,
                 QWidget* parent = nullptr);

    void setTable(data::TOrvTable* table);
    data::TOrvTable* table() const { return table_; }

    // Presses a button as the user would (Ctrl+Insert, Ctrl+Delete).
    void press(NavButton button);
    QAction* action(NavButton button) const;

    // Replaces what a button does (the category panel's edit button).
    void setHandler(NavButton button, std::function<void()> handler);

    void updateButtons();

private:
    data::TOrvTable* table_ = nullptr;
    data::Subscription subscription_;
    std::map<NavButton, QAction*> actions_;
    std::map<NavButton, std::function<void()>> handlers_;
};

}  // namespace lagrull
