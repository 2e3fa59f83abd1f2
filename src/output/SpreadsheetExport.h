#pragma once

#include "output/CsvExport.h"
#include "output/ExportProgressView.h"
#include "output/ExportState.h"
#include "output/RegionStatistics.h"
#include "output/SpreadsheetAutomation.h"

#include <QDateTime>
#include <QLocale>

#include <vector>

namespace lumiset {

enum class SpreadsheetOutcome {
    Cancelled, ///< the export window was left without exporting: nothing written
    Written,   ///< the sheet is complete and handed to the user
    Stopped,   ///< stopped while the values were written or the file saved: no file, an earlier one kept
    Failed,    ///< the workbook could not be written: no file; workbookFailureMessage() tells why
};

/// \brief What a workbook export adds to its value sheets. The statistics are
/// counted while the value sheets are written, one measure at a time (at most
/// one tally of RegionStatistics.h alive); a grey region is counted once.
struct WorkbookExtras {
    /// Adds the sheet "Сводка" after the value sheets (writeSummarySheet()), as
    /// ws.output.summarySheet does.
    bool summarySheet = false;
    /// The date and time the summary gives; when invalid, the moment it is written.
    QDateTime madeAt;
    /// When set, receives the statistics of each measure written.
    std::vector<RegionStatistics>* statistics = nullptr;
};

/// \brief The export command of the open window after the export window closed:
/// writes the region of ws.request into a new workbook row by row (values from
/// A1, optional colours, number format, widths fitted to the values, three
/// description lines) and shows it.
///
/// In the table layout (ws.output), one worksheet "Лист1" for
/// ws.measure.BrightnessMeasure, or, when \a measures is given, one worksheet per
/// measure named by measureSheetName(), each with its own description lines.
/// In the long layout, one worksheet "Лист1": the heading row of LongColumns
/// (one column per entry of \a measures), a row per point, "0.00" in the
/// columns of means and luminances, no cell colours, then the description
/// lines, the region line naming the long table's range. The progress strip follows the rows and the stop
/// button is polled a few times a second: a stop while cells are coloured
/// leaves the remaining rows uncoloured and still writes the workbook; a stop
/// while plain values are written, or while the file is saved, drops it (Stopped).
///
/// Returns Cancelled at once when ws.ExportCancelled is set. When the sheet
/// cannot be put in front of the user, tells where it is and still returns Written.
/// Without \a extras the workbook is exactly what it has always been.
SpreadsheetOutcome exportToSpreadsheet(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view,
                                       const QLocale& locale = QLocale(), const std::vector<int>& measures = {},
                                       const WorkbookExtras& extras = {});

/// \brief Russian name of the worksheet of \a measure in a workbook of several measures.
QString measureSheetName(int measure);

/// \brief What the open window tells when the workbook could not be written:
/// each file tried, and why it failed.
UserMessage workbookFailureMessage(const QList<WorkbookFailure>& failures);

/// The notice when the finished workbook could not be opened for the user.
UserMessage workbookNotOpenedMessage(const QString& location);

/// \brief The box the export window shows for a region a worksheet cannot hold
/// in \a layout (more rows, or in the long layout more points, than fit with
/// the description lines); nothing has been written.
UserMessage tallerThanSheetMessage(TableLayout layout = TableLayout::Table);

} // namespace lumiset
