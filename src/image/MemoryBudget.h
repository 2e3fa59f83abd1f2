#pragma once

#include <QString>

namespace lumiset {

/// No picture above 2^30 pixels is accepted, whatever the memory.
inline constexpr qint64 kMaxPixels = qint64(1) << 30;
/// Memory left to the rest of the program and the system when the tables are sized.
inline constexpr qint64 kMemoryReserve = qint64(256) << 20;

/// \brief Bytes of physical memory available to new allocations, or -1 when the
/// platform does not tell.
qint64 availableMemory();

/// \brief Why a picture of this size cannot be taken, if it cannot.
enum class SizeVerdict { Fits, Empty, TooManyPixels, NotEnoughMemory };

/// \brief Checks width × height (64-bit, no overflow) against the pixel limit and
/// the memory that \a planes bytes a pixel would need (3 byte planes for BMP and TGA).
SizeVerdict checkPictureSize(qint64 width, qint64 height, int planes = 3);

/// \brief The notice shown in place of a picture whose size cannot be taken;
/// \a bytesPerPixel is what the memory check counted for each pixel.
QString sizeRefusalNotice(SizeVerdict verdict, qint64 width, qint64 height, qint64 bytesPerPixel = 3);

/// \brief Test hook: pretend this much memory is available (-1 restores the real figure).
void overrideAvailableMemory(qint64 bytes);

} // namespace lumiset
