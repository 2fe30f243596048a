#include "data/ui/db_grid.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include "data/dataset.h"

namespace lagrull {

TableModel::TableModel(data::TOrvTable& table, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {
    subscription_ = table_.subscribe([this](data::TableEvent e) { tableEvent(e); });
    tableEvent(data::TableEvent::Reset);
}

void TableModel::tableEvent(data::TableEvent e) {
    switch (e) {
        case data::TableEvent::Reset:
            beginResetModel();
            fieldIndexes_.clear();
            if (table_.active())
                for (const auto& c : columns_) fieldIndexes_.push_back(table_.findField(c.field));
            rows_ = table_.active() ? table_.recordCount() : 0;
            endResetModel();
            emit currentRowChanged(static_cast<int>(table_.active() ? table_.recNo() - 1 : -1));
            break;
        case data::TableEvent::Scrolled:
            emit currentRowChanged(static_cast<int>(table_.recNo() - 1));
            break;
        case data::TableEvent::RecordChanged:
        case data::TableEvent::StateChanged: {
            const long long n = table_.active() ? table_.recordCount() : 0;
            if (n != rows_) {
                tableEvent(data::TableEvent::Reset);
                return;
            }
            if (rows_ > 0)
                emit dataChanged(index(0, 0),
                                 index(static_cast<int>(rows_) - 1, columnCount() - 1));
            if (e == data::TableEvent::StateChanged && table_.active())
                emit currentRowChanged(static_cast<int>(table_.recNo() - 1));
            break;
        }
        case data::TableEvent::FieldChanged:
            break;  // the record being edited is not in the grid until posted
        case data::TableEvent::Destroyed:
            beginResetModel();
            gone_ = true;
            rows_ = 0;
            endResetModel();
            break;
    }
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_);
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || gone_ || !table_.active()) return {};
    const GridColumn& column = columns_[static_cast<std::size_t>(index.column())];
    if (role == Qt::TextAlignmentRole) return QVariant(column.alignment);
    if (role != Qt::DisplayRole) return {};
    const int f = fieldIndexes_[static_cast<std::size_t>(index.column())];
    if (f < 0 || index.row() >= rows_) return {};
    const auto& row = table_.rowAt(index.row() + 1);
    const std::string text = data::valueToText(table_.field(f), row[static_cast<std::size_t>(f)]);
    return column.format ? column.format(text) : QString::fromStdString(text);
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return columns_[static_cast<std::size_t>(section)].title;
    return {};
}

TDBGrid::TDBGrid(data::TOrvTable& table, std::vector<GridColumn> columns, QWidget* parent)
    : QTableView(parent), model_(new TableModel(table, columns, this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].width > 0)
            setColumnWidth(static_cast<int>(i), columns[i].width);
        else
            horizontalHeader()->setSectionResizeMode(static_cast<int>(i), QHeaderView::Stretch);
    }
    connect(model_, &TableModel::currentRowChanged, this, &TDBGrid::followTable);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (following_ || !current.isValid() || model_->tableGone()) return;
                auto& t = model_->table();
                if (t.active() && t.recNo() != current.row() + 1) t.setRecNo(current.row() + 1);
            });
    followTable(static_cast<int>(table.active() ? table.recNo() - 1 : -1));
}

void TDBGrid::followTable(int row) {
    following_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex i = model_->index(row, 0);
        selectionModel()->setCurrentIndex(
            i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(i);
    } else {
        selectionModel()->clearSelection();
    }
    following_ = false;
}

void TDBGrid::setAlwaysShowSelection(bool on) {
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               on ? p.color(QPalette::Active, QPalette::Highlight)
                  : QPalette().color(QPalette::Inactive, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               on ? p.color(QPalette::Active, QPalette::HighlightedText)
                  : QPalette().color(QPalette::Inactive, QPalette::HighlightedText));
    setPalette(p);
}

}  // namespace lagrull
