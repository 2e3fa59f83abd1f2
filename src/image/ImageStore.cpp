#include "ImageStore.h"

#include "Rounding.h"

#include <new>

namespace lumiset {

void PixelPlane::resize(int width, int height, int sampleBytes)
{
    release();
    width_ = width;
    height_ = height;
    sampleBytes_ = sampleBytes == 2 ? 2 : 1;
}

bool PixelPlane::allocate()
{
    if (allocated())
        return true;
    const std::size_t n = std::size_t(width_) * std::size_t(height_);
    if (n == 0)
        return false;
    if (sampleBytes_ == 2)
        words_.reset(new (std::nothrow) std::uint16_t[n]);
    else
        data_.reset(new (std::nothrow) std::uint8_t[n]);
    return allocated();
}

void PixelPlane::release()
{
    data_.reset();
    words_.reset();
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
        case 1:
        case 9: return BitsPerPixel == 8 ? PixelKind::Palette : PixelKind::Unsupported;
        case 3:
        case 11: return BitsPerPixel == 8 ? PixelKind::Grey : PixelKind::Unsupported;
        case 2:
        case 10: return BitsPerPixel == 24 ? PixelKind::TrueColour : PixelKind::Unsupported;
        default: return PixelKind::Unsupported;
        }
    }
    if (isDecoded()) {
        // Palettes are read as 8-bit indices whatever their depth; grey and
        // colour samples keep up to 16 bits.
        if (DecodedFloat || BitsPerChannel < 1 || BitsPerChannel > 16)
            return PixelKind::Unsupported;
        switch (DecodedColourType) {
        case DecodedColour::Palette: return BitsPerChannel <= 8 ? PixelKind::Palette : PixelKind::Unsupported;
        case DecodedColour::Grey: return PixelKind::Grey;
        case DecodedColour::Colour: return PixelKind::TrueColour;
        case DecodedColour::Unreadable: break;
        }
    }
    return PixelKind::Unsupported;
}

int ImageStore::sampleBytes() const
{
    const PixelKind k = pixelKind();
    return isDecoded() && BitsPerChannel > 8 && (k == PixelKind::Grey || k == PixelKind::TrueColour) ? 2 : 1;
}

std::array<std::uint8_t, 3> ImageStore::rgb(int column, int row) const
{
    const PixelKind kind = pixelKind();
    if (kind == PixelKind::Palette) {
        return paletteColour(PixelRed(column, row));
    }
    const int maximum = sampleMaximum();
    const std::uint8_t r = eightBitSample(PixelRed.sample(column, row), maximum);
    if (kind == PixelKind::Grey)
        return {r, r, r};
    return {r, eightBitSample(PixelGreen.sample(column, row), maximum),
            eightBitSample(PixelBlue.sample(column, row), maximum)};
}

std::array<std::uint8_t, 3> ImageStore::paletteColour(int index) const
{
    const auto& e = PaletteRGB[std::size_t(index)];
    return {paletteLevel(e[0]), paletteLevel(e[1]), paletteLevel(e[2])};
}

} // namespace lumiset
