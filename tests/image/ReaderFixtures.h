#pragma once

#include "image/BmpReader.h"
#include "image/ByteSource.h"
#include "image/ImageStore.h"
#include "image/RecordingOpenView.h"
#include "image/TgaReader.h"

#include <QLocale>

#include <memory>

namespace lumiset::test {

/// Stage one of an in-memory file, with the state it leaves behind.
struct Opened {
    ImageStore store;
    RecordingOpenView view;
};

/// A picture loader that answers as told, so a test decides which branch runs.
inline PictureLoader fixedLoader(PictureResult::Status status, int width = 1, int height = 1)
{
    return [=] {
        PictureResult r;
        r.status = status;
        if (status == PictureResult::Status::Loaded)
            r.image = QImage(qMax(width, 1), qMax(height, 1), QImage::Format_RGB32);
        if (status == PictureResult::Status::Failed) {
            r.errorNumber = 57;
            r.errorText = QStringLiteral("Ошибка ввода-вывода устройства");
        }
        return r;
    };
}

inline void runBmp(Opened& o, const QByteArray& bytes, const PictureLoader& loader)
{
    MemoryByteSource src(bytes);
    o.store.FileSignature = QString::fromLatin1(bytes.left(2));
    BM_Load(o.store, o.view, src, loader);
}

inline void runTga(Opened& o, const QByteArray& bytes)
{
    MemoryByteSource src(bytes);
    o.store.FileSignature = QStringLiteral("TG");
    TGA_Load(o.store, o.view, src);
}

/// Report lines written as UTF-8 literals.
inline QStringList lines(std::initializer_list<const char*> l)
{
    QStringList out;
    for (const char* s : l)
        out << QString::fromUtf8(s);
    return out;
}

/// Sets the default locale for one test.
class ScopedLocale {
public:
    explicit ScopedLocale(QLocale::Language language, QLocale::Territory territory) : saved_(QLocale())
    {
        QLocale::setDefault(QLocale(language, territory));
    }
    ~ScopedLocale() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

} // namespace lumiset::test
