#pragma once

#include "UserMessage.h"

namespace lumiset {

class OpenWindowView;
enum class MessageIcon;

/// \brief What the readers tell the user: refusals and errors, as codes.
/// readerMessage() gives the words; no reader writes them itself.
enum class ReaderMessage {
    // Message boxes
    AccessDenied,           ///< the file (or folder) is there but cannot be read
    FileNotFound,           ///< the file vanished
    DeviceError,            ///< reading failed halfway
    Overflow,               ///< a BMP header whose sizes give no palette entry size
    UnknownFormat,          ///< a .bmp name over something else; detail: the file name
    BmpDepthUnsupported,    ///< detail: bits per pixel
    BmpCompressionRejected, ///< Qt's reader refused a compressed BMP; detail: compression type
    BmpCompressed,          ///< a compressed BMP Qt's reader showed; detail: compression type
    // Report and notices (no title)
    EmptyFile,               ///< a file of 0 bytes
    BmpColoursUnsupported,   ///< detail: the number of colours
    TgaDepthUnsupported,     ///< detail: bits per pixel
    TgaCompressed,           ///< title: the caption over the notice; detail: the image type
    DecodeFailed,            ///< detail: the decoder's reason
    FloatSamples,            ///< floating-point samples
    ChannelDepthUnsupported, ///< detail: bits per channel with their word ("32 бита")
};

/// \brief Title (empty for report lines and notices) and text of \a message,
/// with \a detail put in where the code's note says.
UserMessage readerMessage(ReaderMessage message, const QString& detail = QString());

/// \brief Shows \a message in a message box of the open window.
void showReaderMessage(OpenWindowView& view, MessageIcon icon, ReaderMessage message,
                       const QString& detail = QString());

} // namespace lumiset
