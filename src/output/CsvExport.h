#pragma once

#include "image/UserMessage.h"
#include "output/ExportState.h"
#include "output/OutputOptions.h"
#include "output/PointValues.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <functional>
#include <vector>

namespace lumiset {

struct RegionStatistics;

enum class CsvError {
    None,
    RegionOutsideImage, ///< the region is not inside the picture
    PixelsMissing,      ///< the pixels have not been read yet
    WouldReplaceImage,  ///< the chosen name is the opened picture itself
    CannotCreate,       ///< the file could not be created (bad name, protected folder)
    WriteFailed,        ///< writing or finishing the file failed (full disk); an earlier file is kept
    Stopped,            ///< the user stopped the write: no file, an earlier file is kept
    TargetInUse,        ///< another program holds the earlier file open, so it cannot be replaced (Windows); it is kept
};

/// \brief Told how many of \a rowsTotal rows are written, a few times a second
/// while a table file is written; returns false to stop the write.
using CsvProgress = std::function<bool(qint64 rowsDone, qint64 rowsTotal)>;

/// \brief Where the table file goes unless the user names another: the picture's
/// path with "csv" for its extension, or the full name + ".csv" when the picture
/// has none of .bmp/.BMP/.tga/.TGA, so it can never be the picture itself.
QString defaultCsvPath(const QString& FilePath);

/// \brief The name part of \a defaultPath, shown in the prompt.
QString defaultCsvName(const QString& defaultPath);

/// Title and four-line prompt of the name box.
QString csvPromptTitle();
QString csvPromptText(const QString& defaultName);

/// \brief The file the answer of the name box leads to: an empty answer keeps
/// \a defaultPath; otherwise the answer goes into the default's folder with
/// ".csv" (a typed ".cvs"/".CVS" is taken for a slip and replaced; ".csv" and
/// ".CSV" are kept; other endings, other cases included, get ".csv" added).
QString csvFinalPath(const QString& defaultPath, const QString& answer);

/// \brief Whether \a a and \a b name the same file (links followed when both exist).
bool samePath(const QString& a, const QString& b);

/// \brief \a text as the bytes of a table file in \a encoding.
QByteArray csvEncoded(const QString& text, CsvEncoding encoding);

/// \brief What a table file in \a encoding begins with: the byte-order mark
/// EF BB BF for UTF-8, nothing for windows-1251.
QByteArray csvFileStart(CsvEncoding encoding);

/// \brief The bytes of a table file, CR LF line ends, in options.csvEncoding.
///
/// The table layout: one line per image row of \a region (values separated by
/// ";"), then the file, measure and region lines. The long layout: the heading
/// line of LongColumns, one line per point, then the same three lines, the
/// measure line naming every measure column. The description lines are padded
/// with ";" to the width of the lines above them, so that every line has the
/// same number of fields. \a measures (Measure numbers) are the measure columns
/// of the long layout, m's own measure when empty; the table layout writes m's.
/// With \a statistics (table layout), also the statistics of the values
/// written, counted as they are written.
/// \pre checkRegion(image, region) == RegionError::None.
QByteArray csvBytes(const ImageStore& image, const Selection& region, const MeasureSettings& m,
                    const QString& imageFileName, const QLocale& locale, const OutputOptions& options = {},
                    const std::vector<int>& measures = {}, RegionStatistics* statistics = nullptr);

/// \brief Clamps the columns to the picture (written back to the selection) and
/// writes the region to \a path as csvBytes() gives it for ws.output and
/// \a measures, row by row in blocks of a few MiB, so memory does not grow with
/// the region. Neither layout limits the width here: the table layout's
/// kMaxExportColumns is the window's and the command line's to apply. The file
/// is replaced only once it is complete, so a failed or stopped write leaves an
/// earlier file of that name as it was. With \a statistics (table layout), the
/// values are counted while they are written and their statistics stored there
/// once the rows are written (see RegionStatistics.h).
CsvError writeCsv(Workspace& ws, const QString& path, const QLocale& locale, const CsvProgress& progress = {},
                  const std::vector<int>& measures = {}, RegionStatistics* statistics = nullptr);

/// \brief The CSV command after the name box: works out the final path from
/// \a answer, keeps it in SelectedFileName and writes the file there.
CsvError csvCommand(Workspace& ws, const QString& answer, const QLocale& locale, const CsvProgress& progress = {});

/// \brief What the export window tells the user when the file was not written.
UserMessage csvErrorMessage(CsvError error, const QString& path);

} // namespace lumiset
