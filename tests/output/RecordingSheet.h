#pragma once

#include "output/RecordingExportProgress.h"
#include "output/SpreadsheetAutomation.h"
#include "output/SpreadsheetExport.h"

#include <QRegularExpression>
#include <QStringList>

namespace lumiset::test {

/// A workbook that writes down every call; \a refuse names the one operation
/// that fails.
class RecordingSheet : public SpreadsheetAutomation {
public:
    QString refuse;
    SheetStatus shown = SheetStatus::Ok;
    int waits = 1; ///< calls of the save's wait
    QStringList calls;

    SheetStatus record(const QString& op, const QString& detail = {})
    {
        calls << (detail.isEmpty() ? op : op + QLatin1Char(' ') + detail);
        return op == refuse ? SheetStatus::Refused : SheetStatus::Ok;
    }
    SheetStatus createApplication() override { return record(QStringLiteral("create")); }
    // The columns' "0.00" flags: one digit when all agree, else one per column.
    SheetStatus addSheet(const QString& name, int rows, int columns, const std::vector<bool>& twoDecimals) override
    {
        QString flags;
        for (const bool d : twoDecimals)
            flags += d ? QLatin1Char('1') : QLatin1Char('0');
        if (flags.count(flags.front()) == flags.size())
            flags.truncate(1);
        return record(QStringLiteral("sheet"),
                      QStringLiteral("%1 %2x%3 %4").arg(name).arg(rows).arg(columns).arg(flags));
    }
    SheetStatus putRow(int row, const double*, const CellColours* colours) override
    {
        return record(QStringLiteral("row"), QStringLiteral("%1 %2").arg(row).arg(colours ? colours[0].fill : -1));
    }
    SheetStatus autoFitColumns() override { return record(QStringLiteral("autofit")); }
    SheetStatus putCellText(int row, int column, const QString& text, int font) override
    {
        return record(QStringLiteral("text"), QStringLiteral("%1,%2 %3 %4").arg(row).arg(column).arg(font).arg(text));
    }
    SheetStatus putCells(int row, const QList<SheetCell>& cells) override
    {
        QStringList texts;
        for (const SheetCell& c : cells)
            texts << (c.kind == SheetCell::Kind::Number ? QString::number(c.number, 'g', 15) : c.text);
        return record(QStringLiteral("cells"), QStringLiteral("%1 ").arg(row) + texts.join(QLatin1Char('|')));
    }
    SheetStatus putColumnChart(const ColumnChart& c) override
    {
        return record(QStringLiteral("chart"),
                      QStringLiteral("%1 %2:%3 %4,%5 at %6,%7")
                          .arg(c.title)
                          .arg(c.firstRow)
                          .arg(c.lastRow)
                          .arg(c.categoryColumn)
                          .arg(c.valueColumn)
                          .arg(c.anchorRow)
                          .arg(c.anchorColumn));
    }
    SheetStatus saveWorkbook(const SaveWait& keepWaiting) override
    {
        for (int i = 0; i < waits; ++i) {
            if (!keepWaiting()) {
                calls << QStringLiteral("save stopped");
                return SheetStatus::Stopped;
            }
        }
        return record(QStringLiteral("save"));
    }
    SheetStatus activateSheet() override
    {
        calls << QStringLiteral("activate");
        return shown;
    }
    void discard() override { calls << QStringLiteral("discard"); }
    void release() override { calls << QStringLiteral("release"); }
    QString documentLocation() const override { return QStringLiteral("/docs/tyu2.xlsx"); }
    QList<WorkbookFailure> failures() const override { return {}; }

    QStringList matching(const QString& prefix) const
    {
        return calls.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
    }
};

/// One export into a recording workbook, with the window's effects recorded.
struct RecordedExport {
    RecordingSheet sheet;
    RecordingExportProgress view;
    SpreadsheetOutcome run(const Workspace& ws, const std::vector<int>& measures = {},
                           const WorkbookExtras& extras = {})
    {
        return exportToSpreadsheet(ws, sheet, view, QLocale::c(), measures, extras);
    }
};

} // namespace lumiset::test
