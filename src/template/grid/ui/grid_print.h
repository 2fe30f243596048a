#pragma once
// Printing a window's grid: the table's visible columns and rows turned into
// the grid report's RTF table and printed through the page layout, on the
// current printer or into a PDF file (the same document either way).

#include <optional>
#include <string>

#include "template/grid/grid_report.h"

class QTableWidget;

namespace lagrull::grid {

// The grid as the report sees it: the header labels as its one fixed row,
// then the rows; a column is right-aligned when its header item is.
TGridData gridData(const QTableWidget& table);

// PrintGrid: `landscape` given makes the print options' orientation;
// without it the current printer's orientation decides. The hourglass shows
// while the grid is converted and printed.
void PrintGrid(const std::string& title, const QTableWidget& table,
               std::optional<bool> landscape = std::nullopt);
// The same document written as PDF; returns the number of pages.
int SaveGridPdf(const std::string& title, const QTableWidget& table, bool landscape,
                const std::string& pdfFile);

}  // namespace lagrull::grid
