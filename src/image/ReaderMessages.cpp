#include "ReaderMessages.h"

#include "OpenWindowView.h"

#include <QCoreApplication>

namespace lumiset {

namespace {
struct ReaderTexts {
    Q_DECLARE_TR_FUNCTIONS(ReaderTexts)
};
} // namespace

UserMessage readerMessage(ReaderMessage message, const QString& detail)
{
    const QString error = ReaderTexts::tr("Ошибка");
    const QString bmpVersion = ReaderTexts::tr("Неподдерживаемая версия формата BMP");
    switch (message) {
    case ReaderMessage::AccessDenied: return {error, ReaderTexts::tr("Ошибка №75 Ошибка доступа к пути/файлу")};
    case ReaderMessage::FileNotFound: return {error, ReaderTexts::tr("Ошибка №53 Файл не найден")};
    case ReaderMessage::DeviceError: return {error, ReaderTexts::tr("Ошибка №57 Ошибка ввода-вывода устройства")};
    case ReaderMessage::Overflow: return {error, ReaderTexts::tr("Ошибка №6 Переполнение")};
    case ReaderMessage::UnknownFormat:
        return {ReaderTexts::tr("Неизвестный формат файла"),
                ReaderTexts::tr("Файл %1\r\n или имеет неизвестный формат или\r\n"
                                "не является изображением, а содержит что-то другое.")
                    .arg(detail)};
    case ReaderMessage::BmpDepthUnsupported:
        return {bmpVersion,
                ReaderTexts::tr("Формат BMP файла c %1 бит на пиксель не поддерживается.\r\n"
                                "Возможно только 8 бит или 24 бита на пиксель.")
                    .arg(detail)};
    case ReaderMessage::BmpCompressionRejected:
        return {bmpVersion,
                ReaderTexts::tr("Формат BMP файла cо сжатием %1 не поддерживается.\r\n"
                                "Возможно только 8 бит или 24 бита на пиксель.")
                    .arg(detail)};
    case ReaderMessage::BmpCompressed:
        return {ReaderTexts::tr("Не поддерживаемый формат"),
                ReaderTexts::tr("Изображение с типом сжатия %1\r\n            не поддерживается").arg(detail)};
    case ReaderMessage::EmptyFile: return {{}, ReaderTexts::tr("Файл занимает 0 байт.")};
    case ReaderMessage::BmpColoursUnsupported:
        return {{}, ReaderTexts::tr("%1-ти цветное изображение\r\nне поддерживается.").arg(detail)};
    case ReaderMessage::TgaDepthUnsupported:
        return {{}, ReaderTexts::tr("Глубина цвета %1 бит на пиксель\r\nне поддерживается.").arg(detail)};
    case ReaderMessage::TgaCompressed:
        return {ReaderTexts::tr("Изображение со сжатием не поддерживается"),
                ReaderTexts::tr("Тип изображения %1\r\n(сжатие RLE)").arg(detail)};
    case ReaderMessage::DecodeFailed:
        return {{}, ReaderTexts::tr("Изображение не удаётся декодировать:\r\n%1").arg(detail)};
    case ReaderMessage::FloatSamples:
        return {{}, ReaderTexts::tr("Изображение с отсчётами с плавающей точкой\r\nне поддерживается.")};
    case ReaderMessage::ChannelDepthUnsupported:
        return {{}, ReaderTexts::tr("Глубина цвета %1 на канал\r\nне поддерживается.").arg(detail)};
    }
    return {};
}

void showReaderMessage(OpenWindowView& view, MessageIcon icon, ReaderMessage message, const QString& detail)
{
    const UserMessage m = readerMessage(message, detail);
    view.showMessage(icon, m.title, m.text);
}

} // namespace lumiset
