#include "output/CsvExport.h"

#include "output/Cp1251.h"
#include "output/DescriptionLines.h"
#include "output/ExportPreparation.h"
#include "output/FileInUse.h"
#include "output/LongLayout.h"
#include "output/RegionStatistics.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <optional>

namespace lumiset {

namespace {

struct CsvTexts {
    Q_DECLARE_TR_FUNCTIONS(CsvTexts)
};

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

} // namespace

bool samePath(const QString& a, const QString& b)
{
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

QString defaultCsvPath(const QString& FilePath)
{
    // The picture's own extension, written all in lower or all in upper case,
    // gives way to "csv"; any other name keeps its whole text.
    static const char* const kPictureExtensions[] = {"bmp",  "tga", "png",  "jpg", "jpeg", "jpe", "tif",
                                                     "tiff", "gif", "webp", "pbm", "pgm",  "ppm", "pnm"};
    const qsizetype dot = FilePath.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString extension = FilePath.mid(dot + 1);
        for (const char* known : kPictureExtensions) {
            const QString lower = QString::fromLatin1(known);
            if (extension == lower || extension == lower.toUpper())
                return FilePath.left(dot + 1) + QStringLiteral("csv");
        }
    }
    return FilePath + QStringLiteral(".csv");
}

QString defaultCsvName(const QString& defaultPath)
{
    // The first character is never taken for a separator: "\name" stays whole.
    for (qsizetype i = defaultPath.size() - 1; i >= 1; --i)
        if (isSeparator(defaultPath.at(i)))
            return defaultPath.mid(i + 1);
    return {};
}

QString csvPromptTitle()
{
    return CsvTexts::tr("Сохранить выделение в табличный файл");
}

QString csvPromptText(const QString& defaultName)
{
    return CsvTexts::tr("Введите название файла\r\nили оставьте поле пустам,\r\nчтобы сохранить как\r\n%1")
        .arg(defaultName);
}

QString csvFinalPath(const QString& defaultPath, const QString& answer)
{
    if (answer.isEmpty())
        return defaultPath;
    const QString folder = defaultPath.left(defaultPath.size() - defaultCsvName(defaultPath).size());
    const QString tail = answer.right(4);
    if (tail == QLatin1String(".csv") || tail == QLatin1String(".CSV"))
        return folder + answer;
    if (tail == QLatin1String(".cvs") || tail == QLatin1String(".CVS"))
        return folder + answer.left(answer.size() - 4) + QStringLiteral(".csv");
    return folder + answer + QStringLiteral(".csv");
}

namespace {

/// Bytes gathered before they go to the file.
constexpr qsizetype kCsvBlockBytes = qsizetype(4) << 20;
/// Interval of the progress calls.
constexpr qint64 kCsvProgressMilliseconds = 100;

// The lines of the table file and its description lines, handed to \a flush in
// blocks; false from \a flush or \a progress ends the write.
template <class Flush>
bool writeCsvRows(const ImageStore& image, const Selection& r, const MeasureSettings& m, const QString& imageFileName,
                  const QLocale& locale, const OutputOptions& options, const std::vector<int>& measures,
                  const CsvProgress& progress, Flush flush, RegionStatistics* statistics)
{
    const CsvEncoding encoding = options.csvEncoding;
    const bool longLayout = options.layout == TableLayout::Long;
    const LongColumns columns = longColumns(m, measures);
    QByteArray out = csvFileStart(encoding);
    // Fields of every line: the points of an image row, or the long table's columns.
    const qint64 fields = longLayout ? columns.count() : qint64(r.SelColumnTo) - r.SelColumnFrom + 1;
    if (longLayout)
        out += csvEncoded(columns.headings().join(QLatin1Char(';')) + kCrLf, encoding);
    const PixelKind kind = image.pixelKind();
    const qint64 rows = qint64(r.SelRowTo) - r.SelRowFrom + 1;
    if (statistics)
        *statistics = {}; // a picture whose points cannot be read has none
    if (kind != PixelKind::Unsupported) {
        // Room for a block and what one step (a row, or a slice of a long row)
        // adds beyond it, so that the block is never copied to grow.
        out.reserve(kCsvBlockBytes + (longLayout ? kCsvBlockBytes / 4 : fields * 34) + 512);
        // Digits and separators are ASCII, the same bytes in either encoding.
        const QByteArray point = toCp1251(locale.decimalPoint());
        const char decimalPoint = point.isEmpty() ? '.' : point.at(0);
        const PointRowWriter writer(image, m, locale, decimalPoint);
        std::optional<LongLineWriter> lines;
        if (longLayout)
            lines.emplace(image, columns, locale, decimalPoint);
        std::optional<ValueTally> tally; // the table layout's values only
        if (statistics && !longLayout)
            tally = writer.makeTally();
        QElapsedTimer clock;
        clock.start();
        qint64 lastCall = -kCsvProgressMilliseconds; // the first row reports at once
        const auto blockWritten = [&] {
            if (out.size() < kCsvBlockBytes)
                return true;
            const bool written = flush(out);
            out.resize(0);
            return written;
        };
        for (int y = r.SelRowFrom; y <= r.SelRowTo; ++y) {
            if (lines) {
                // A long row goes out in slices, so no row is ever held whole.
                for (qint64 x = r.SelColumnFrom; x <= r.SelColumnTo; x += LongLineWriter::kSliceColumns) {
                    lines->appendLines(out, y, int(x),
                                       int(std::min<qint64>(x + LongLineWriter::kSliceColumns - 1, r.SelColumnTo)));
                    if (!blockWritten())
                        return false;
                }
            } else {
                writer.appendRow(out, y, r.SelColumnFrom, r.SelColumnTo, tally ? &*tally : nullptr);
                out += "\r\n";
                if (!blockWritten())
                    return false;
            }
            if (progress && clock.elapsed() - lastCall >= kCsvProgressMilliseconds) {
                lastCall = clock.elapsed();
                if (!progress(qint64(y) - r.SelRowFrom + 1, rows))
                    return false;
            }
        }
        if (tally)
            *statistics = tally->statistics();
    }
    if (fields >= 1) {
        const QString fill(fields - 1, QLatin1Char(';'));
        const QString measureLine = longLayout ? columns.measureLine(locale) : measureLineText(m, locale);
        for (const QString& text : {csvFileLine(imageFileName, image), measureLine, csvRegionLine(r)})
            out += csvEncoded(text + fill + kCrLf, encoding);
    }
    return flush(out);
}

} // namespace

QByteArray csvEncoded(const QString& text, CsvEncoding encoding)
{
    return encoding == CsvEncoding::Utf8 ? text.toUtf8() : toCp1251(text);
}

QByteArray csvFileStart(CsvEncoding encoding)
{
    return encoding == CsvEncoding::Utf8 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
}

QByteArray csvBytes(const ImageStore& image, const Selection& r, const MeasureSettings& m, const QString& imageFileName,
                    const QLocale& locale, const OutputOptions& options, const std::vector<int>& measures,
                    RegionStatistics* statistics)
{
    QByteArray bytes;
    writeCsvRows(
        image, r, m, imageFileName, locale, options, measures, {},
        [&bytes](const QByteArray& block) {
            bytes += block;
            return true;
        },
        statistics);
    return bytes;
}

CsvError writeCsv(Workspace& ws, const QString& path, const QLocale& locale, const CsvProgress& progress,
                  const std::vector<int>& measures, RegionStatistics* statistics)
{
    clampColumns(ws.selection, ws.image.ImageWidth, false);
    switch (checkRegion(ws.image, ws.selection)) {
    case RegionError::OutsideImage: return CsvError::RegionOutsideImage;
    case RegionError::PixelsMissing: return CsvError::PixelsMissing;
    case RegionError::TallerThanSheet:
    case RegionError::None: break;
    }
    if (!ws.image.FilePath.isEmpty() && samePath(path, ws.image.FilePath))
        return CsvError::WouldReplaceImage;

    // The system cuts a name at a NUL character, which would write another file.
    if (path.contains(QChar(0)))
        return CsvError::CannotCreate;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return CsvError::CannotCreate;
    bool stopped = false;
    bool writeFailed = false;
    const CsvProgress stoppable = progress ? CsvProgress([&](qint64 done, qint64 total) {
        stopped = !progress(done, total);
        return !stopped;
    })
                                           : CsvProgress();
    const bool written = writeCsvRows(
        ws.image, ws.selection, ws.measure, fileNamePart(ws.image.FilePath), locale, ws.output, measures, stoppable,
        [&](const QByteArray& block) {
            writeFailed = file.write(block) != block.size();
            return !writeFailed;
        },
        statistics);
    if (stopped) {
        file.cancelWriting();
        return CsvError::Stopped;
    }
    // Qt 6.4 commits even when the buffered tail failed to reach the disk, so
    // the flush is checked here before the old file is replaced.
    if (!written || writeFailed || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return CsvError::WriteFailed;
    }
    if (file.commit())
        return CsvError::None;
    if (replaceHeldBack(file, path))
        return CsvError::TargetInUse;
    // The data was written to an unnamed file; giving it the name failed (a
    // name the file system rejects, such as one too long), not the disk.
    return file.error() == QFileDevice::RenameError ? CsvError::CannotCreate : CsvError::WriteFailed;
}

CsvError csvCommand(Workspace& ws, const QString& answer, const QLocale& locale, const CsvProgress& progress)
{
    ws.SelectedFileName = csvFinalPath(defaultCsvPath(ws.image.FilePath), answer);
    return writeCsv(ws, ws.SelectedFileName, locale, progress);
}

UserMessage csvErrorMessage(CsvError error, const QString& path)
{
    const QString title = csvPromptTitle();
    switch (error) {
    case CsvError::None:
    case CsvError::Stopped: return {};
    case CsvError::RegionOutsideImage:
        return {title, CsvTexts::tr("Выделенная область выходит за пределы изображения.\r\nВыделите область заново.")};
    case CsvError::PixelsMissing:
        return {title,
                CsvTexts::tr("Точки изображения ещё не прочитаны.\r\n"
                             "Дождитесь, пока изображение появится на экране.")};
    case CsvError::WouldReplaceImage:
        return {title, CsvTexts::tr("Файл %1\r\n- это само открытое изображение. Введите другое название.").arg(path)};
    case CsvError::CannotCreate:
        return {title,
                CsvTexts::tr("Не удалось создать файл %1\r\nПроверьте название файла и доступ к папке.").arg(path)};
    case CsvError::WriteFailed:
        return {title,
                CsvTexts::tr("Не удалось записать файл %1\r\n"
                             "Возможно, диск заполнен. Прежний файл с этим названием не изменён.")
                    .arg(path)};
    case CsvError::TargetInUse:
        return {title,
                CsvTexts::tr("Не удалось заменить файл %1\r\n"
                             "Он открыт в другой программе. Закройте его там и сохраните выделение снова.")
                    .arg(path)};
    }
    return {};
}

} // namespace lumiset
