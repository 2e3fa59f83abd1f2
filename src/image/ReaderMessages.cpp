#include "ReaderMessages.h"

#include "OpenWindowView.h"

namespace lumiset {

UserMessage readerMessage(ReaderMessage message, const QString& detail)
{
    const QString error = QStringLiteral("Ошибка");
    const QString bmpVersion = QStringLiteral("Неподдерживаемая версия формата BMP");
    const QString bmpDepths = QStringLiteral("Возможно только 8 бит или 24 бита на пиксель.");
    const QString unsupported = QStringLiteral("не поддерживается.");
    switch (message) {
    case ReaderMessage::AccessDenied: return {error, QStringLiteral("Ошибка №75 Ошибка доступа к пути/файлу")};
    case ReaderMessage::FileNotFound: return {error, QStringLiteral("Ошибка №53 Файл не найден")};
    case ReaderMessage::DeviceError: return {error, QStringLiteral("Ошибка №57 Ошибка ввода-вывода устройства")};
    case ReaderMessage::Overflow: return {error, QStringLiteral("Ошибка №6 Переполнение")};
    case ReaderMessage::UnknownFormat:
        return {QStringLiteral("Неизвестный формат файла"),
                QStringLiteral("Файл ") + detail + kCrLf + QStringLiteral(" или имеет неизвестный формат или") + kCrLf
                    + QStringLiteral("не является изображением, а содержит что-то другое.")};
    case ReaderMessage::BmpDepthUnsupported:
        return {bmpVersion,
                QStringLiteral("Формат BMP файла c ") + detail + QStringLiteral(" бит на пиксель не поддерживается.")
                    + kCrLf + bmpDepths};
    case ReaderMessage::BmpCompressionRejected:
        return {bmpVersion,
                QStringLiteral("Формат BMP файла cо сжатием ") + detail + QStringLiteral(" не поддерживается.") + kCrLf
                    + bmpDepths};
    case ReaderMessage::BmpCompressed:
        return {QStringLiteral("Не поддерживаемый формат"),
                QStringLiteral("Изображение с типом сжатия ") + detail + kCrLf
                    + QStringLiteral("            не поддерживается")};
    case ReaderMessage::EmptyFile: return {{}, QStringLiteral("Файл занимает 0 байт.")};
    case ReaderMessage::BmpColoursUnsupported:
        return {{}, detail + QStringLiteral("-ти цветное изображение") + kCrLf + unsupported};
    case ReaderMessage::TgaDepthUnsupported:
        return {{},
                QStringLiteral("Глубина цвета ") + detail + QStringLiteral(" бит на пиксель") + kCrLf + unsupported};
    case ReaderMessage::TgaCompressed:
        return {QStringLiteral("Изображение со сжатием не поддерживается"),
                QStringLiteral("Тип изображения ") + detail + kCrLf + QStringLiteral("(сжатие RLE)")};
    case ReaderMessage::DecodeFailed:
        return {{}, QStringLiteral("Изображение не удаётся декодировать:") + kCrLf + detail};
    case ReaderMessage::FloatSamples:
        return {{}, QStringLiteral("Изображение с отсчётами с плавающей точкой") + kCrLf + unsupported};
    case ReaderMessage::ChannelDepthUnsupported:
        return {{}, QStringLiteral("Глубина цвета ") + detail + QStringLiteral(" на канал") + kCrLf + unsupported};
    }
    return {};
}

void showReaderMessage(OpenWindowView& view, MessageIcon icon, ReaderMessage message, const QString& detail)
{
    const UserMessage m = readerMessage(message, detail);
    view.showMessage(icon, m.title, m.text);
}

} // namespace lumiset
