#include "DecodedHeaderProbe.h"

#include "ByteSource.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace lumiset {

namespace {

// A TIFF names its byte order in its first bytes: "MM" big-endian, "II" little-endian.
ByteCursor tiffCursor(ByteSource& source)
{
    return ByteCursor(source, ByteCursor(source).u8(0) == 'M' ? ByteOrder::BigEndian : ByteOrder::LittleEndian);
}

int perMetreFromInches(double dotsPerInch)
{
    return int(std::clamp(std::round(dotsPerInch * 100 / 2.54), 0.0, double(INT_MAX)));
}

// JPEG: the JFIF segment's density in dots per inch (1) or per centimetre (2).
Resolution jpegResolution(ByteSource& source)
{
    ByteCursor c(source, ByteOrder::BigEndian);
    for (qint64 at = 2; at + 4 <= source.size() && c.u8(at) == 0xFF;) {
        const int marker = c.u8(at + 1);
        if (marker == 0xDA || marker == 0xD9) // scan or end: the header is over
            break;
        if (marker == 0xE0 && c.u32(at + 4) == 0x4A464946u && c.u8(at + 8) == 0) { // "JFIF\0"
            const int unit = c.u8(at + 11);
            const double x = c.u16(at + 12), y = c.u16(at + 14);
            if (unit == 1)
                return {perMetreFromInches(x), perMetreFromInches(y)};
            if (unit == 2)
                return {int(x * 100), int(y * 100)};
            return {};
        }
        at += 2 + c.u16(at + 2);
    }
    return {};
}

// TIFF: XResolution and YResolution of the first page, per inch (unit 2, the
// default) or per centimetre (unit 3).
Resolution tiffResolution(ByteSource& source)
{
    ByteCursor c = tiffCursor(source);
    const qint64 ifd = c.u32(4);
    double res[2] = {0, 0};
    quint32 unit = 2;
    for (quint32 i = 0, n = std::min<quint32>(c.u16(ifd), 4096); i < n; ++i) {
        const qint64 e = ifd + 2 + 12 * qint64(i);
        const quint32 tag = c.u16(e);
        if (tag == 282 || tag == 283) { // RATIONAL at an offset
            const qint64 at = c.u32(e + 8);
            const quint32 den = c.u32(at + 4);
            res[tag - 282] = den == 0 ? 0 : double(c.u32(at)) / den;
        } else if (tag == 296) {
            unit = c.u16(e + 8);
        }
    }
    if (unit == 2)
        return {perMetreFromInches(res[0]), perMetreFromInches(res[1])};
    if (unit == 3)
        return {int(std::min(res[0] * 100, double(INT_MAX))), int(std::min(res[1] * 100, double(INT_MAX)))};
    return {};
}

} // namespace

PngHeader readPngHeader(ByteSource& source)
{
    ByteCursor c(source, ByteOrder::BigEndian);
    PngHeader h;
    h.bitDepth = c.u8(24);
    h.colourType = c.u8(25);
    for (qint64 at = 8; at + 8 <= source.size();) {
        const qint64 length = c.u32(at);
        const quint32 type = c.u32(at + 4);
        if (type == 0x49444154u || type == 0x49454E44u) // IDAT, IEND: the header chunks are over
            break;
        if (type == 0x70485973u && length >= 9 && c.u8(at + 16) == 1) // pHYs
            h.resolution = {int(std::min<quint32>(c.u32(at + 8), INT_MAX)),
                            int(std::min<quint32>(c.u32(at + 12), INT_MAX))};
        const bool key = h.colourType == 0 || h.colourType == 2;               // a palette's tRNS holds alphas instead
        if (type == 0x74524E53u && key && at + 12 + length <= source.size()) { // tRNS
            h.keyAt = at;
            h.keyLength = 12 + length;
        }
        at += 12 + length;
    }
    return h;
}

TiffSampleTags readTiffSampleTags(ByteSource& source)
{
    ByteCursor c = tiffCursor(source);
    TiffSampleTags tags;
    const qint64 ifd = c.u32(4);
    const quint32 entries = std::min<quint32>(c.u16(ifd), 4096);
    for (quint32 i = 0; i < entries; ++i) {
        const qint64 e = ifd + 2 + 12 * qint64(i);
        const quint32 tag = c.u16(e);
        if (tag != 258 && tag != 339) // BitsPerSample, SampleFormat
            continue;
        const quint32 type = c.u16(e + 2); // 3 SHORT, 4 LONG, otherwise taken as BYTE
        const quint32 width = type == 3 ? 2 : type == 4 ? 4 : 1;
        const qint64 at = qint64(c.u32(e + 4)) * width <= 4 ? e + 8 : qint64(c.u32(e + 8));
        const quint32 first = type == 3 ? c.u16(at) : type == 4 ? c.u32(at) : c.u8(at); // the first sample's
        if (tag == 258 && first > 16)
            tags.bits = int(std::min<quint32>(first, 1024));
        if (tag == 339 && first == 3)
            tags.floating = true;
    }
    return tags;
}

Resolution storedResolution(ByteSource& source, const QByteArray& format)
{
    if (format == "png")
        return readPngHeader(source).resolution;
    if (format == "jpeg")
        return jpegResolution(source);
    if (format == "tiff")
        return tiffResolution(source);
    return {}; // GIF, WebP and PNM store none
}

} // namespace lumiset
