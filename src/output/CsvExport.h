#pragma once

#include "output/ExportState.h"
#include "output/PointValues.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <functional>

namespace lumiset {

struct RegionStatistics;

/// \brief A message box of the program: title and text (lines joined by CR LF).
struct UserMessage {
    QString title;
    QString text;
};

enum class CsvError {
    None,
    RegionOutsideImage, ///< the region is not inside the picture
    PixelsMissing,      ///< the pixels have not been read yet
    WouldReplaceImage,  ///< the chosen name is the opened picture itself
    CannotCreate,       ///< the file could not be created (bad name, protected folder)
    WriteFailed,        ///< writing or finishing the file failed (full disk); an earlier file is kept
    Stopped,            ///< the user stopped the write: no file, an earlier file is kept
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

/// \brief The bytes of a table file: one windows-1251 line per image row of
/// \a region (values separated by ";"), then the file, measure and region lines,
/// each padded with ";" to the row's width; CR LF line ends. With \a statistics,
/// also the statistics of the values written, counted as they are written.
/// \pre checkRegion(image, region) == RegionError::None.
QByteArray csvBytes(const ImageStore& image, const Selection& region, const MeasureSettings& m,
                    const QString& imageFileName, const QLocale& locale, RegionStatistics* statistics = nullptr);

/// \brief Clamps the columns to the picture (written back to the selection) and
/// writes the region to \a path, row by row in blocks of a few MiB, so memory
/// does not grow with the region. The file is replaced only once it is
/// complete, so a failed or stopped write leaves an earlier file of that name
/// as it was. With \a statistics, the values are counted while they are written
/// and their statistics stored there once the rows are written (see
/// RegionStatistics.h); the option costs a few per cent of the write.
CsvError writeCsv(Workspace& ws, const QString& path, const QLocale& locale, const CsvProgress& progress = {},
                  RegionStatistics* statistics = nullptr);

/// \brief The CSV command after the name box: works out the final path from
/// \a answer, keeps it in SelectedFileName and writes the file there.
CsvError csvCommand(Workspace& ws, const QString& answer, const QLocale& locale, const CsvProgress& progress = {});

/// \brief What the export window tells the user when the file was not written.
UserMessage csvErrorMessage(CsvError error, const QString& path);

} // namespace lumiset
