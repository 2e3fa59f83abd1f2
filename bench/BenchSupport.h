#pragma once

#include "image/ImageStore.h"
#include "image/OpenCommand.h"

#include <QString>

#include <array>
#include <cstdint>

namespace lumiset::bench {

/// The picture every loading benchmark works on unless told otherwise.
inline constexpr int kDefaultWidth = 12000;
inline constexpr int kDefaultHeight = 9000;

/// \brief Writes an uncompressed 24-bit BMP of \a width × \a height: 54-byte
/// header, rows bottom-up, BGR, rows padded to 4 bytes. The colours are gradients
/// so that no row repeats the previous one and nothing compresses into a shortcut.
bool writeGradientBmp(const QString& path, int width, int height);

/// \brief Colour {red, green, blue} that writeGradientBmp gives the pixel at
/// 0-based column \a x and row \a y (row 0 at the top, as seen on screen).
std::array<std::uint8_t, 3> gradientColour(int x, int y, int width, int height);

/// \brief True when the loaded tables of \a store hold the gradient picture,
/// checked on a sparse grid of pixels plus the four corners.
bool tablesHoldGradient(const ImageStore& store);

/// \brief Runs the open command on \a path as the batch front end would, with
/// the "show file" box ticked or not. The store comes out at stage one.
OpenOutcome openForBench(ImageStore& store, const QString& path, bool showFile);

/// \brief Drops the pixel tables so the next load starts from nothing.
void releasePlanes(ImageStore& store);

/// \brief One field of /proc/self/status in bytes (e.g. "VmHWM", "VmRSS"),
/// or -1 where the platform has none.
std::int64_t procStatusBytes(const char* field);

/// \brief Reads the whole file with plain read() calls into a 1 MiB buffer and
/// returns the byte count (-1 on error); the floor any loader can reach.
std::int64_t readWholeFile(const QString& path);

} // namespace lumiset::bench
