#pragma once
// TFillInEditForm: the one window that asks for every FILLIN field of a
// document before it is printed.

#include <QDialog>
#include <vector>

#include "template/merge/fillin.h"

class QCheckBox;
class QPlainTextEdit;

namespace lagrull {

class TFillInEditForm : public QDialog, public TFillInPrompter {
    Q_OBJECT
public:
    explicit TFillInEditForm(QWidget* parent = nullptr);
    // Shows the entries modally; after "OK" each takes its box's text. A
    // window asks once: one window per document read for printing.
    bool ask(const std::string& title, std::vector<TFillinRec>& entries) override;

private:
    std::vector<QPlainTextEdit*> edits_;
    std::vector<QCheckBox*> checks_;
};

}  // namespace lagrull
