#include "template/grid/ui/grid_print.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>

#include "template/layout/print_options.h"
#include "template/layout/rtf_document_builder.h"
#include "template/pdf/qt_paint_device.h"
#include "template/print/qt_printer_system.h"

namespace lagrull::grid {

namespace {

// The hourglass for the conversion and printing, restored on every path.
class OverrideCursor {
public:
    OverrideCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

void print(TPrinterSystem& system, const std::string& title, const QTableWidget& table,
           std::optional<bool> landscape) {
    const bool wide =
        landscape.value_or(system.currentPrinter().orientation == TDeviceMode::kLandscape);
    const std::string rtf = ComponentToRtfStream(title, gridData(table), wide);
    TRTFDocumentBuilder builder(system);
    TPrintOptions options;
    if (landscape) {
        options.setOrientation(1, wide ? TDeviceMode::kLandscape : TDeviceMode::kPortrait);
        builder.SetPrintOptions(&options);
    }
    builder.PrintRTFStream(rtf);
}

}  // namespace

TGridData gridData(const QTableWidget& table) {
    TGridData data;
    data.name = table.objectName().toStdString();
    data.fixedRows = 1;
    std::vector<std::string> header;
    for (int c = 0; c < table.columnCount(); ++c) {
        const QTableWidgetItem* h = table.horizontalHeaderItem(c);
        TGridColumn column;
        column.width = table.columnWidth(c);
        column.visible = !table.isColumnHidden(c);
        column.rightAligned = h && (h->textAlignment() & Qt::AlignRight);
        data.columns.push_back(column);
        header.push_back(h ? h->text().toStdString() : std::string());
    }
    data.rows.push_back(std::move(header));
    data.hiddenRows.push_back(false);
    for (int r = 0; r < table.rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < table.columnCount(); ++c) {
            const QTableWidgetItem* item = table.item(r, c);
            row.push_back(item ? item->text().toStdString() : std::string());
        }
        data.rows.push_back(std::move(row));
        data.hiddenRows.push_back(table.isRowHidden(r));
    }
    return data;
}

void PrintGrid(const std::string& title, const QTableWidget& table, std::optional<bool> landscape) {
    OverrideCursor cursor;
    useSystemPrinterList();
    TQtPrinterSystem system;
    print(system, title, table, landscape);
}

int SaveGridPdf(const std::string& title, const QTableWidget& table, bool landscape,
                const std::string& pdfFile) {
    OverrideCursor cursor;
    TQtPdfSystem system(pdfFile);
    print(system, title, table, landscape);
    system.requireWritten();
    return system.sheets();
}

}  // namespace lagrull::grid
