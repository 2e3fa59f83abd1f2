#include "ImageStore.h"

#include <new>

namespace lumiset {

void PixelPlane::resize(int width, int height)
{
    release();
    width_ = width;
    height_ = height;
}

bool PixelPlane::allocate()
{
    if (data_)
        return true;
    const std::size_t n = std::size_t(width_) * std::size_t(height_);
    if (n == 0)
        return false;
    data_.reset(new (std::nothrow) std::uint8_t[n]);
    return static_cast<bool>(data_);
}

void PixelPlane::release()
{
    data_.reset();
}

bool ImageStore::singlePlane() const
{
    if (isBmp())
        return BitsPerPixel == 8;
    if (isTga())
        return TgaImageType == 1 || TgaImageType == 9 || TgaImageType == 3 || TgaImageType == 11;
    return false;
}

std::array<std::uint8_t, 3> ImageStore::rgb(int column, int row) const
{
    const std::uint8_t v = PixelRed(column, row);
    if (!singlePlane())
        return {v, PixelGreen(column, row), PixelBlue(column, row)};
    if (isTga() && (TgaImageType == 3 || TgaImageType == 11))
        return {v, v, v};
    const auto& e = PaletteRGB[v];
    return {std::uint8_t(e[0]), std::uint8_t(e[1]), std::uint8_t(e[2])};
}

} // namespace lumiset
