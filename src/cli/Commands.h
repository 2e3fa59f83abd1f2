#pragma once

// The commands of lumiset-cli. Other programs parse what they print, so every
// line and exit status is part of the tool's contract.

#include "cli/Options.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>

namespace lumiset {
struct ImageStore;
}

namespace lumiset::cli {

/// `info IMAGE`: the open window's report on IMAGE. Returns the exit status.
int infoCommand(const QString& path);

/// `export IMAGE ...`: the region's table written as the export window writes
/// it. Returns the exit status.
int exportCommand(const ExportRequest& request);

/// `stats IMAGE...`: the statistics of the region of each picture, one line
/// per picture and measure. Returns the exit status.
int statsCommand(const StatsRequest& request);

/// \brief Opens \a path and reads its pixels as the export window would have
/// them; the exit status when that fails, with the window's reason on standard
/// error. \a progress is told the fraction of the rows read.
int loadForExport(const QString& path, ImageStore& image, const std::function<void(double)>& progress = {});

/// "progress: 42 %, 12 s left" on standard error, at most twice a second and
/// only once the work has run for a second.
class ProgressLine {
public:
    explicit ProgressLine(bool on) : on_(on) { clock_.start(); }
    /// \a done of \a total steps of the work are done.
    void show(qint64 done, qint64 total);

private:
    bool on_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
};

/// Prints \a line and a line feed to standard output (see StandardStreams.h).
void printLine(const QString& line);

/// Tells \a message on standard error: "lumiset-cli: ", \a message and a line feed.
void printError(const QString& message);

/// Tells a usage error on standard error; returns the usage exit status.
int usageError(const QString& message);

} // namespace lumiset::cli
