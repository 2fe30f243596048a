#pragma once
// The payment grid's model: the rows of the payment rules, shown as the
// grid's fourteen columns; edits of "Kravbeløp", "Innbetalt" and "Betalt"
// go through the rules, so the window holds no rule of its own.

#include <functional>

#include <QAbstractTableModel>

#include "payments/payment_registration.h"

namespace lagrull {

class TPaymentGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TPaymentGridModel(TPaymentRegistration& rules, Ui& ui, QObject* parent = nullptr);

    // After the rules loaded or changed rows.
    void reload();
    // An edit went through: the window updates its totals and "&Oppdater".
    std::function<void()> onEdited;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    TPaymentRegistration& rules_;
    Ui& ui_;
};

}  // namespace lagrull
