#include "payments/ui/payment_grid_model.h"

#include <QBrush>

#include "common/ui.h"

namespace lagrull {

namespace {
bool isAmount(PaymentColumn c) {
    return c == PaymentColumn::Kravbelop || c == PaymentColumn::Innbetalt ||
           c == PaymentColumn::Rest;
}
}  // namespace

TPaymentGridModel::TPaymentGridModel(TPaymentRegistration& rules, Ui& ui, QObject* parent)
    : QAbstractTableModel(parent), rules_(rules), ui_(ui) {}

void TPaymentGridModel::reload() {
    beginResetModel();
    endResetModel();
}

int TPaymentGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    // No claims: one empty row in a disabled grid.
    return std::max<int>(1, static_cast<int>(rules_.rows().size()));
}

int TPaymentGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPaymentColumnCount;
}

QVariant TPaymentGridModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= rules_.rows().size()) return {};
    const PaymentRow& r = rules_.rows()[row];
    const auto column = static_cast<PaymentColumn>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (column == PaymentColumn::Betalt) return {};
            return QString::fromStdString(r.text(column));
        case Qt::CheckStateRole:
            if (column == PaymentColumn::Betalt) return r.betalt ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::ForegroundRole:
            if (column == PaymentColumn::Rest)
                return QBrush(r.restColour() == RestColour::Red ? Qt::red : Qt::blue);
            return {};
        case Qt::TextAlignmentRole:
            if (isAmount(column)) return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        default: return {};
    }
}

QVariant TPaymentGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return QString::fromStdString(
        paymentColumnHeader(static_cast<PaymentColumn>(section), rules_.registerKind()));
}

Qt::ItemFlags TPaymentGridModel::flags(const QModelIndex& index) const {
    if (rules_.rows().empty()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    switch (static_cast<PaymentColumn>(index.column())) {
        case PaymentColumn::Kravbelop:
        case PaymentColumn::Innbetalt: return f | Qt::ItemIsEditable;
        case PaymentColumn::Betalt: return f | Qt::ItemIsUserCheckable;
        default: return f;
    }
}

bool TPaymentGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= rules_.rows().size()) return false;
    const auto column = static_cast<PaymentColumn>(index.column());
    if (column == PaymentColumn::Betalt && role == Qt::CheckStateRole) {
        rules_.setBetalt(row, value.toInt() == Qt::Checked);
    } else if (role == Qt::EditRole &&
               (column == PaymentColumn::Innbetalt || column == PaymentColumn::Kravbelop)) {
        const auto amount = parseAmount(value.toString().toStdString());
        if (!amount) {
            ui_.error("«" + value.toString().toStdString() + "» er ikke et gyldig beløp.");
            return false;
        }
        if (column == PaymentColumn::Innbetalt)
            rules_.setInnbetalt(row, *amount);
        else
            rules_.setKravbelop(row, *amount);
    } else {
        return false;
    }
    Q_EMIT dataChanged(this->index(index.row(), 0),
                       this->index(index.row(), kPaymentColumnCount - 1));
    if (onEdited) onEdited();
    return true;
}

}  // namespace lagrull
