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

PixelKind ImageStore::pixelKind() const
{
    if (isBmp()) {
        switch (BitsPerPixel) {
        case 8: return PixelKind::Palette;
        case 24: return PixelKind::TrueColour;
        default: return PixelKind::Unsupported;
        }
    }
    if (isTga()) {
        // True-colour TGAs of every supported depth are decoded to 24 bits.
        switch (TgaImageType) {
        case 1: case 9: return BitsPerPixel == 8 ? PixelKind::Palette : PixelKind::Unsupported;
        case 3: case 11: return BitsPerPixel == 8 ? PixelKind::Grey : PixelKind::Unsupported;
        case 2: case 10: return BitsPerPixel == 24 ? PixelKind::TrueColour : PixelKind::Unsupported;
        default: return PixelKind::Unsupported;
        }
    }
    return PixelKind::Unsupported;
}

std::array<std::uint8_t, 3> ImageStore::rgb(int column, int row) const
{
    const std::uint8_t v = PixelRed(column, row);
    if (!singlePlane())
        return {v, PixelGreen(column, row), PixelBlue(column, row)};
    if (pixelKind() == PixelKind::Grey)
        return {v, v, v};
    const auto& e = PaletteRGB[v];
    return {std::uint8_t(e[0]), std::uint8_t(e[1]), std::uint8_t(e[2])};
}

} // namespace lumiset
