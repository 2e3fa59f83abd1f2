#pragma once

// The commands of lumiset-cli. Other programs parse what they print, so every
// line and exit status is part of the tool's contract.

#include "cli/Options.h"

#include <QString>

namespace lumiset::cli {

/// `info IMAGE`: the open window's report on IMAGE. Returns the exit status.
int infoCommand(const QString& path);

/// `export IMAGE ...`: the region's table written as the export window writes
/// it. Returns the exit status.
int exportCommand(const ExportRequest& request);

/// Prints \a line and a line feed to standard output, in UTF-8.
void printLine(const QString& line);

/// Tells a usage error on standard error; returns the usage exit status.
int usageError(const QString& message);

} // namespace lumiset::cli
