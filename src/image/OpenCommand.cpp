#include "OpenCommand.h"

#include "BmpReader.h"
#include "ByteSource.h"
#include "QtPictureReader.h"
#include "ReaderMessages.h"
#include "TgaReader.h"

#include <QFileInfo>

#include <algorithm>

namespace lumiset {

namespace {

bool endsWithExactly(const QString& path, QLatin1String lower, QLatin1String upper)
{
    // Case-sensitive on purpose: ".Tga" is not taken for a TGA name.
    return path.endsWith(lower, Qt::CaseSensitive) || path.endsWith(upper, Qt::CaseSensitive);
}

// The file vanished or cannot be read: say so, and keep the export command from
// offering the previous file's pixels under this file's name.
OpenOutcome cannotOpen(OpenWindowView& view, const QString& path)
{
    showReaderMessage(view, MessageIcon::Critical,
                      QFileInfo::exists(path) ? ReaderMessage::AccessDenied : ReaderMessage::FileNotFound);
    clearPicture(view, QString());
    view.restoreOpenButton();
    return OpenOutcome::CannotOpen;
}

// The formats the open command hands over to a reader once the file is
// recognised. A new format adds a row: the command opens the file, clears the
// report and marks the header read for every one of them alike.
struct FormatReader {
    bool (*claims)(const ImageStore& store);
    void (*open)(ImageStore& store, OpenWindowView& view, ByteSource& source);
    OpenOutcome outcome;
};

const FormatReader kReaders[] = {
    {[](const ImageStore& s) { return s.isBmp(); },
     [](ImageStore& s, OpenWindowView& v, ByteSource& b) { openBmp(s, v, b); }, OpenOutcome::Bmp},
    {[](const ImageStore& s) { return s.isTga(); }, openTga, OpenOutcome::Tga},
    {[](const ImageStore& s) { return s.isDecoded(); }, openDecodedPicture, OpenOutcome::Decoded},
};

// PNG, JPEG, TIFF, GIF, WebP and PNM are known by their first bytes whatever the
// file is called, a ".tga" or ".bmp" name included. None of their signatures can
// start a TGA the TGA reader takes (their second byte is no colour-map type 0 or 1).
bool recogniseDecoded(ImageStore& store)
{
    FileByteSource file(store.FilePath);
    if (!file.isOpen() || file.size() == 0)
        return false;
    std::uint8_t head[kSignatureBytes] = {};
    file.read(0, head, std::min<qint64>(file.size(), kSignatureBytes));
    store.DecodedFormat = decodedFormatOf(head, std::min<qint64>(file.size(), kSignatureBytes));
    if (store.DecodedFormat.isEmpty())
        return false;
    store.FileSignature = QStringLiteral("QT");
    store.FileLength = file.size();
    return true;
}

} // namespace

QString joinFilePath(const QString& folder, const QString& entry)
{
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\')))
        path += QLatin1Char('/');
    return path + entry;
}

OpenOutcome openCommand(ImageStore& store, OpenWindowView& view, const QString& folder, const QString& entry)
{
    store.FilePath.clear();
    store.FileSignature = QStringLiteral("  ");
    if (entry.isEmpty()) {
        view.restoreOpenButton();
        return OpenOutcome::NothingSelected;
    }
    store.FilePath = joinFilePath(folder, entry);
    view.setFileNameBox(entry);

    OpenOutcome outcome = OpenOutcome::Ignored;
    if (recogniseDecoded(store)) {
        // read below by its reader
    } else if (endsWithExactly(store.FilePath, QLatin1String(".tga"), QLatin1String(".TGA"))) {
        store.FileSignature = QStringLiteral("TG");
    } else {
        FileByteSource file(store.FilePath);
        if (!file.isOpen())
            return cannotOpen(view, store.FilePath);
        store.FileLength = file.size();
        if (store.FileLength == 0) {
            clearPicture(view, readerMessage(ReaderMessage::EmptyFile).text);
            view.restoreOpenButton();
            return OpenOutcome::EmptyFile;
        }
        std::uint8_t sig[2];
        file.read(0, sig, 2);
        store.FileSignature = QString(QLatin1Char(char(sig[0]))) + QLatin1Char(char(sig[1]));
        if (!store.isBmp() && endsWithExactly(store.FilePath, QLatin1String(".bmp"), QLatin1String(".BMP"))) {
            clearPicture(view, QString()); // the earlier picture must not stand under this name
            showReaderMessage(view, MessageIcon::Exclamation, ReaderMessage::UnknownFormat, entry);
            outcome = OpenOutcome::UnknownFormat;
        }
    }

    for (const FormatReader& reader : kReaders) {
        if (!reader.claims(store))
            continue;
        FileByteSource file(store.FilePath);
        if (!file.isOpen())
            return cannotOpen(view, store.FilePath);
        view.setReport(QString());
        reader.open(store, view, file);
        outcome = reader.outcome;
        store.ImageState = ImageState::HeaderRead;
        break;
    }
    if (outcome == OpenOutcome::Ignored)
        clearPicture(view, QString()); // the earlier picture must not stand under this name
    view.restoreOpenButton();
    return outcome;
}

} // namespace lumiset
