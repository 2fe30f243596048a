#pragma once
// A read-only grid over a table object: the model asks the table for the
// rows it paints (rowAt, never a query per row) and the view keeps its
// selection on the table's current record, both ways.

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <string>
#include <vector>

#include "data/orv_table.h"

namespace lagrull {

struct GridColumn {
    std::string field;
    QString title;
    int width = 0;  // 0: stretch
    // How a value is shown; the field's text when empty.
    std::function<QString(const std::string&)> format;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TableModel(data::TOrvTable& table, std::vector<GridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    const std::vector<GridColumn>& columns() const { return columns_; }
    data::TOrvTable& table() { return table_; }
    bool tableGone() const { return gone_; }

signals:
    void currentRowChanged(int row);

private:
    void tableEvent(data::TableEvent e);

    data::TOrvTable& table_;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndexes_;
    mutable long long rows_ = 0;
    bool gone_ = false;  // the table object was destroyed
    data::Subscription subscription_;
};

class TDBGrid : public QTableView {
    Q_OBJECT
public:
    TDBGrid(data::TOrvTable& table, std::vector<GridColumn> columns, QWidget* parent = nullptr);
    TableModel& tableModel() { return *model_; }
    // Keeps the current row marked even while the grid has no focus.
    void setAlwaysShowSelection(bool on);

private:
    void followTable(int row);

    TableModel* model_;  // owned by the view (Qt parent)
    bool following_ = false;
};

}  // namespace lagrull
