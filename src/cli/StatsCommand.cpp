// lumiset-cli stats: the statistics of a region of many pictures in one table,
// on standard output for scripts, or as a CSV file or a worksheet for people.

#include "cli/Commands.h"

#include "image/NumberText.h"
#include "output/CsvExport.h"
#include "output/ExportPreparation.h"
#include "output/FileInUse.h"
#include "output/RegionStatistics.h"
#include "output/SpreadsheetExport.h"
#include "output/SummarySheet.h"
#include "output/XlsxWorkbook.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

namespace lumiset::cli {

namespace {

constexpr int kSpreadDecimals = 4; ///< of the mean and the standard deviation

/// One line of the table: a picture's region and one measure's statistics.
struct StatsLine {
    QString file; ///< as given on the command line
    int width = 0;
    int height = 0;
    Selection region;
    RegionStatistics statistics; ///< without its histogram
};

// The measure the export window starts with: the mean of palette and grey
// pictures, the red component of colour ones.
int startingMeasure(const ImageStore& image)
{
    return image.singlePlane() ? MeasureMean : MeasureRed;
}

// The region asked for, clipped to a picture of \a width × \a height points;
// nullopt when it begins beyond the picture.
std::optional<Selection> clippedRegion(const StatsRequest& request, int width, int height)
{
    Selection r;
    r.SelColumnFrom = request.from ? request.from->column : 1;
    r.SelRowFrom = request.from ? request.from->row : 1;
    r.SelColumnTo = request.to ? std::min(request.to->column, width) : width;
    r.SelRowTo = request.to ? std::min(request.to->row, height) : height;
    if (r.SelColumnFrom > width || r.SelRowFrom > height)
        return std::nullopt;
    return r;
}

// The lines of one picture; nullopt, with the reason on standard error, when
// it is skipped. The pixel tables are freed on return.
std::optional<std::vector<StatsLine>> pictureLines(const QString& path, const StatsRequest& request,
                                                   const std::function<void(double)>& progress)
{
    // Reading the pixels and counting their values take about as long as each other.
    ImageStore image;
    if (loadForExport(path, image, [&progress](double f) { progress(f / 2); }) != kExitOk)
        return std::nullopt;
    const std::optional<Selection> region = clippedRegion(request, image.ImageWidth, image.ImageHeight);
    if (!region) {
        printError(QStringLiteral("the region begins beyond %1 (%2 x %3 points)")
                       .arg(path, QString::number(image.ImageWidth), QString::number(image.ImageHeight)));
        return std::nullopt;
    }
    MeasureSettings m;
    m.BrightnessMeasure = request.measures.empty() ? startingMeasure(image) : request.measures.front();
    if (request.weights) {
        m.CoefRed = (*request.weights)[0];
        m.CoefGreen = (*request.weights)[1];
        m.CoefBlue = (*request.weights)[2];
    }
    m.ColorPointCount = countColorPoints(image, *region);
    auto statistics = regionStatistics(image, *region, m, request.measures, [&progress](qint64 done, qint64 all) {
        progress(0.5 + double(done) / double(all) / 2);
        return true;
    });
    std::vector<StatsLine> lines;
    if (statistics)
        for (RegionStatistics& s : *statistics) {
            s.histogram = std::vector<HistogramBin>(); // its memory too: a line may be kept for the file
            lines.push_back({path, image.ImageWidth, image.ImageHeight, *region, std::move(s)});
        }
    return lines;
}

// A figure with \a decimals decimals; empty when there is none (the spread of
// a single point).
QString figure(double value, int decimals, const QLocale& locale)
{
    return std::isfinite(value) ? fixedText(value, decimals, Precision::Double, locale) : QString();
}

// The figures of a line from "points" on, as text.
QStringList figures(const RegionStatistics& s, const QLocale& locale)
{
    return {QString::number(s.points),
            figure(s.minimum, s.decimals, locale),
            figure(s.maximum, s.decimals, locale),
            figure(s.mean, kSpreadDecimals, locale),
            figure(s.standardDeviation, kSpreadDecimals, locale),
            figure(s.median, s.medianDecimals, locale)};
}

QString pointText(int column, int row)
{
    return QString::number(column) + QLatin1Char(',') + QString::number(row);
}

QString standardOutputLine(const StatsLine& l)
{
    const Selection& r = l.region;
    const RegionStatistics& s = l.statistics;
    return (QStringList{l.file, QString::number(l.width), QString::number(l.height),
                        pointText(r.SelColumnFrom, r.SelRowFrom), pointText(r.SelColumnTo, r.SelRowTo),
                        s.grey ? QStringLiteral("grey") : measureWord(s.measure)}
            + figures(s, QLocale::c()))
        .join(QLatin1Char('\t'));
}

// The headings of the file forms. The region's bounds get a column each: a
// spreadsheet would read "2,1" as a decimal number.
QStringList fileHeadings()
{
    QStringList headings;
    for (const char* h :
         {QT_TRANSLATE_NOOP("StatsTable", "Файл"), QT_TRANSLATE_NOOP("StatsTable", "Ширина"),
          QT_TRANSLATE_NOOP("StatsTable", "Высота"), QT_TRANSLATE_NOOP("StatsTable", "Первый столбец"),
          QT_TRANSLATE_NOOP("StatsTable", "Первая строка"), QT_TRANSLATE_NOOP("StatsTable", "Последний столбец"),
          QT_TRANSLATE_NOOP("StatsTable", "Последняя строка")})
        headings << QCoreApplication::translate("StatsTable", h);
    for (const SummaryLabel l :
         {SummaryLabel::Measure, SummaryLabel::Points, SummaryLabel::Minimum, SummaryLabel::Maximum, SummaryLabel::Mean,
          SummaryLabel::Deviation, SummaryLabel::Median})
        headings << summaryLabel(l);
    return headings;
}

QString measureName(const RegionStatistics& s)
{
    return s.grey ? summaryLabel(SummaryLabel::GreyMeasure) : measureSheetName(s.measure);
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
QString csvField(QString text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// The picture's size and the region's bounds, in the files' column order.
std::array<int, 6> pictureNumbers(const StatsLine& l)
{
    const Selection& r = l.region;
    return {l.width, l.height, r.SelColumnFrom, r.SelRowFrom, r.SelColumnTo, r.SelRowTo};
}

QByteArray csvTable(const std::vector<StatsLine>& lines, const QLocale& locale, CsvEncoding encoding)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = fileHeadings().join(QLatin1Char(';')) + lineEnd;
    for (const StatsLine& l : lines) {
        QStringList fields{csvField(l.file)};
        for (const int number : pictureNumbers(l))
            fields << QString::number(number);
        fields << measureName(l.statistics);
        text += (fields + figures(l.statistics, locale)).join(QLatin1Char(';')) + lineEnd;
    }
    return csvFileStart(encoding) + csvEncoded(text, encoding);
}

bool writeSheet(XlsxWorkbook& book, const std::vector<StatsLine>& lines)
{
    const QStringList headings = fileHeadings();
    const QString sheetName = QCoreApplication::translate("StatsTable", "Статистика");
    if (book.addSheet(sheetName, int(lines.size()) + 1, int(headings.size()), {}) != SheetStatus::Ok)
        return false;
    QList<SheetCell> headingCells;
    for (const QString& h : headings)
        headingCells << SheetCell::ofText(h);
    if (book.putCells(1, headingCells) != SheetStatus::Ok)
        return false;
    int row = 1;
    for (const StatsLine& l : lines) {
        const RegionStatistics& s = l.statistics;
        QList<SheetCell> cells{SheetCell::ofText(l.file)};
        for (const int number : pictureNumbers(l))
            cells << SheetCell::ofNumber(number);
        cells << SheetCell::ofText(measureName(s)) << SheetCell::ofNumber(double(s.points))
              << SheetCell::ofNumber(s.minimum) << SheetCell::ofNumber(s.maximum) << SheetCell::ofNumber(s.mean)
              << SheetCell::ofNumber(s.standardDeviation) << SheetCell::ofNumber(s.median);
        if (book.putCells(++row, cells) != SheetStatus::Ok)
            return false;
    }
    return book.autoFitColumns() == SheetStatus::Ok && book.saveWorkbook({}) == SheetStatus::Ok;
}

int writeFailed(const QString& message)
{
    printError(QString(message).replace(QStringLiteral("\r\n"), QStringLiteral(" | ")));
    return kExitWriteFailed;
}

} // namespace

int statsCommand(const StatsRequest& request)
{
    const QString outputPath = request.csvPath.isEmpty() ? request.xlsxPath : request.csvPath;
    // The file is started before any picture is read, so that a name that
    // cannot be written is told at once; it gets its name once it is complete.
    std::optional<QSaveFile> csv;
    std::optional<XlsxWorkbook> book;
    if (!request.csvPath.isEmpty()) {
        csv.emplace(request.csvPath);
        if (request.csvPath.contains(QChar(0)) || !csv->open(QIODevice::WriteOnly))
            return writeFailed(csvErrorMessage(CsvError::CannotCreate, request.csvPath).text);
    } else if (!request.xlsxPath.isEmpty()) {
        WorkbookTarget target;
        target.exactPath = request.xlsxPath;
        book.emplace(target);
        if (book->createApplication() != SheetStatus::Ok)
            return writeFailed(workbookFailureMessage(book->failures()).text);
    } else {
        printLine(QStringLiteral("file\twidth\theight\tfrom\tto\tmeasure\tpoints\tmin\tmax\tmean\tsd\tmedian"));
        std::fflush(stdout);
    }

    int status = kExitOk;
    std::vector<StatsLine> kept; // for the file
    QStringList read;            // the pictures read, which the file must not replace
    ProgressLine line(request.progress);
    // A thousand steps a picture, so that the estimate moves within one.
    const qint64 steps = qint64(request.images.size()) * 1000;
    for (qsizetype i = 0; i < request.images.size(); ++i) {
        line.show(qint64(i) * 1000, steps);
        const auto lines = pictureLines(request.images[i], request,
                                        [&](double f) { line.show(qint64(i) * 1000 + qint64(f * 1000), steps); });
        if (!lines) {
            status = kExitCannotOpen;
            continue;
        }
        read << request.images[i];
        for (const StatsLine& l : *lines) {
            if (outputPath.isEmpty())
                printLine(standardOutputLine(l));
            else
                kept.push_back(l);
        }
        std::fflush(stdout);
    }
    if (outputPath.isEmpty())
        return status;

    if (std::any_of(read.begin(), read.end(), [&](const QString& p) { return samePath(p, outputPath); })) {
        if (csv)
            csv->cancelWriting();
        return writeFailed(csvErrorMessage(CsvError::WouldReplaceImage, outputPath).text);
    }
    if (csv) {
        const QByteArray bytes = csvTable(kept, request.localeName.isEmpty() ? QLocale() : QLocale(request.localeName),
                                          request.encoding);
        if (csv->write(bytes) != bytes.size() || !csv->flush() || !csv->commit()) {
            const bool inUse = replaceHeldBack(*csv, request.csvPath);
            return writeFailed(
                csvErrorMessage(inUse ? CsvError::TargetInUse : CsvError::WriteFailed, request.csvPath).text);
        }
    } else if (!writeSheet(*book, kept)) {
        book->discard();
        const QList<WorkbookFailure> failures = book->failures();
        return writeFailed(
            workbookFailureMessage(failures.isEmpty() ? QList<WorkbookFailure>{{request.xlsxPath}} : failures).text);
    }
    return status;
}

} // namespace lumiset::cli
