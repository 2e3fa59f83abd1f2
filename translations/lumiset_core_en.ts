<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>BmpReport</name>
    <message>
        <source>BMP формат - растр OS/2</source>
        <translation>BMP format: OS/2 bitmap</translation>
    </message>
    <message>
        <source>BMP формат - растр Windows</source>
        <translation>BMP format: Windows bitmap</translation>
    </message>
    <message>
        <source>Размер файла %1 байт, а в файле указан %2</source>
        <translation>File size: %1 bytes, but the header gives %2</translation>
    </message>
    <message>
        <source>Размер файла %1 байт</source>
        <translation>File size: %1 bytes</translation>
    </message>
    <message>
        <source>Ширина %1</source>
        <translation>Width: %1</translation>
    </message>
    <message>
        <source>Высота %1</source>
        <translation>Height: %1</translation>
    </message>
    <message>
        <source>Строки записаны сверху вниз</source>
        <translation>Rows are stored top to bottom</translation>
    </message>
    <message>
        <source>%1 бит на каждый пиксель </source>
        <translation>%1 bits per pixel</translation>
    </message>
    <message>
        <source>%1 тип сжатия</source>
        <translation>Compression type %1</translation>
    </message>
    <message>
        <source>Сжатия нет</source>
        <translation>No compression</translation>
    </message>
    <message>
        <source>Горизонтальное разрешение устройства %1 пиксель/метр</source>
        <translation>Horizontal resolution: %1 pixels per metre</translation>
    </message>
    <message>
        <source>Вертикальное разрешение устройства %1 пиксель/метр</source>
        <translation>Vertical resolution: %1 pixels per metre</translation>
    </message>
    <message>
        <source>Используется %1 цветов из %2 цветной палитры</source>
        <translation>%1 of the %2 palette colours are used</translation>
    </message>
    <message>
        <source>Используется все цвета палитры</source>
        <translation>All palette colours are used</translation>
    </message>
    <message>
        <source>Число важных цветов %1</source>
        <translation>Important colours: %1</translation>
    </message>
    <message>
        <source>Нет выравнивания строк по 4 байтной границе</source>
        <translation>Rows are not aligned to 4-byte boundaries</translation>
    </message>
</context>
<context>
    <name>CsvTexts</name>
    <message>
        <source>Сохранить выделение в табличный файл</source>
        <translation>Save the selection to a table file</translation>
    </message>
    <message>
        <source>Введите название файла<byte value="xd"/>
или оставьте поле пустам,<byte value="xd"/>
чтобы сохранить как<byte value="xd"/>
%1</source>
        <translation>Enter a file name<byte value="xd"/>
or leave the box empty<byte value="xd"/>
to save as<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Выделенная область выходит за пределы изображения.<byte value="xd"/>
Выделите область заново.</source>
        <translation>The selected region extends beyond the picture.<byte value="xd"/>
Select the region again.</translation>
    </message>
    <message>
        <source>Точки изображения ещё не прочитаны.<byte value="xd"/>
Дождитесь, пока изображение появится на экране.</source>
        <translation>The points of the picture have not been read yet.<byte value="xd"/>
Wait until the picture appears on the screen.</translation>
    </message>
    <message>
        <source>Файл %1<byte value="xd"/>
- это само открытое изображение. Введите другое название.</source>
        <translation>The file %1<byte value="xd"/>
is the open picture itself. Enter another name.</translation>
    </message>
    <message>
        <source>Не удалось создать файл %1<byte value="xd"/>
Проверьте название файла и доступ к папке.</source>
        <translation>Could not create the file %1<byte value="xd"/>
Check the file name and your access to the folder.</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1<byte value="xd"/>
Возможно, диск заполнен. Прежний файл с этим названием не изменён.</source>
        <translation>Could not write the file %1<byte value="xd"/>
The disk may be full. The earlier file of this name is unchanged.</translation>
    </message>
    <message>
        <source>Не удалось заменить файл %1<byte value="xd"/>
Он открыт в другой программе. Закройте его там и сохраните выделение снова.</source>
        <translation>Could not replace the file %1<byte value="xd"/>
It is open in another program. Close it there and save the selection again.</translation>
    </message>
</context>
<context>
    <name>DescriptionTexts</name>
    <message>
        <source>Выведена ЯРКОСТЬ (яркость чёрно-белого изображения)</source>
        <translation>Values: GREY LEVEL (brightness of a greyscale picture)</translation>
    </message>
    <message>
        <source>Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ</source>
        <translation>Values: RED COMPONENT</translation>
    </message>
    <message>
        <source>Выведена ЯРКОСТЬ ЗЕЛЁНОЙ СОСТАВЛЯЮЩЕЙ</source>
        <translation>Values: GREEN COMPONENT</translation>
    </message>
    <message>
        <source>Выведена ЯРКОСТЬ СИНЕЙ СОСТАВЛЯЮЩЕЙ</source>
        <translation>Values: BLUE COMPONENT</translation>
    </message>
    <message>
        <source>Выведена ЯРКОСТЬ как среднее арифметическое от красной, зелёной и синей составляющей</source>
        <translation>Values: MEAN of the red, green and blue components</translation>
    </message>
    <message>
        <source>Выведена МАКСИМАЛЬНАЯ ЯРКОСТЬ среди красной, зелёной и синей составляющих каждой точки</source>
        <translation>Values: MAXIMUM of the red, green and blue components of each point</translation>
    </message>
    <message>
        <source>Выведена ЯРКОСТЬ = %1•R + %2•G + %3•B</source>
        <translation>Values: LUMINANCE = %1•R + %2•G + %3•B</translation>
    </message>
    <message>
        <source>Файл: %1 ;    Точек %2x%3   ; %4 цветов</source>
        <translation>File: %1 ;    Points %2x%3   ; %4 colours</translation>
    </message>
    <message>
        <source>От [%1;%2] до [%3;%4] (отсчёт с левого верхнего угла), занятый диапазон в таблице [A1:%5]</source>
        <translation>From [%1;%2] to [%3;%4] (counted from the top left corner), cells used in the table [A1:%5]</translation>
    </message>
    <message>
        <source>Файл: %1 ,    Точек %2x%3   , %4 цветов</source>
        <translation>File: %1 ,    Points %2x%3   , %4 colours</translation>
    </message>
    <message>
        <source>От [%1 , %2] до [%3 , %4] (отсчёт с левого верхнего угла)</source>
        <translation>From [%1 , %2] to [%3 , %4] (counted from the top left corner)</translation>
    </message>
</context>
<context>
    <name>LongLayout</name>
    <message>
        <source>Яркость</source>
        <translation>Grey level</translation>
    </message>
</context>
<context>
    <name>PictureReport</name>
    <message>
        <source>%1 бита</source>
        <translation>%1 bits</translation>
    </message>
    <message>
        <source>%1 бит</source>
        <translation>%1 bits</translation>
    </message>
    <message>
        <source>PNG формат - переносимая сетевая графика</source>
        <translation>PNG format: Portable Network Graphics</translation>
    </message>
    <message>
        <source>JPEG формат - сжатие с потерями</source>
        <translation>JPEG format: lossy compression</translation>
    </message>
    <message>
        <source>TIFF формат - теговый файл изображения</source>
        <translation>TIFF format: Tagged Image File Format</translation>
    </message>
    <message>
        <source>GIF формат - графический формат обмена</source>
        <translation>GIF format: Graphics Interchange Format</translation>
    </message>
    <message>
        <source>WebP формат</source>
        <translation>WebP format</translation>
    </message>
    <message>
        <source>PNM формат - чёрно-белый растр (PBM)</source>
        <translation>PNM format: black-and-white bitmap (PBM)</translation>
    </message>
    <message>
        <source>PNM формат - растр в градациях серого (PGM)</source>
        <translation>PNM format: greyscale bitmap (PGM)</translation>
    </message>
    <message>
        <source>PNM формат - цветной растр (PPM)</source>
        <translation>PNM format: colour bitmap (PPM)</translation>
    </message>
    <message>
        <source>файл не найден.</source>
        <translation>the file was not found.</translation>
    </message>
    <message>
        <source>ошибка чтения файла.</source>
        <translation>the file could not be read.</translation>
    </message>
    <message>
        <source>эта разновидность формата не поддерживается.</source>
        <translation>this variant of the format is not supported.</translation>
    </message>
    <message>
        <source>данные изображения повреждены или обрезаны.</source>
        <translation>the picture data are damaged or cut short.</translation>
    </message>
    <message>
        <source>данные изображения не удаётся прочитать.</source>
        <translation>the picture data cannot be read.</translation>
    </message>
    <message>
        <source>Размер файла %1 байт</source>
        <translation>File size: %1 bytes</translation>
    </message>
    <message>
        <source>Ширина %1</source>
        <translation>Width: %1</translation>
    </message>
    <message>
        <source>Высота %1</source>
        <translation>Height: %1</translation>
    </message>
    <message>
        <source>Цвета палитры по 8 бит на канал.</source>
        <translation>Palette colours of 8 bits per channel.</translation>
    </message>
    <message>
        <source>Глубина цвета %1 на канал.</source>
        <translation>Colour depth: %1 per channel.</translation>
    </message>
    <message>
        <source>Изображение с палитрой.</source>
        <translation>Palette picture.</translation>
    </message>
    <message>
        <source>Изображение в градациях серого.</source>
        <translation>Greyscale picture.</translation>
    </message>
    <message>
        <source>Цветное изображение (красный, зелёный, синий).</source>
        <translation>Colour picture (red, green, blue).</translation>
    </message>
    <message>
        <source>Есть альфа-канал (прозрачность), он не учитывается.</source>
        <translation>The alpha channel (transparency) is ignored.</translation>
    </message>
    <message>
        <source>Страниц в файле %1, показана первая.</source>
        <translation>Pages in the file: %1; the first is shown.</translation>
    </message>
    <message>
        <source>Кадров в файле %1, показан первый.</source>
        <translation>Frames in the file: %1; the first is shown.</translation>
    </message>
    <message>
        <source>Наибольшее значение отсчёта %1</source>
        <translation>Largest sample value: %1</translation>
    </message>
    <message>
        <source>Горизонтальное разрешение %1 пиксель/метр</source>
        <translation>Horizontal resolution: %1 pixels per metre</translation>
    </message>
    <message>
        <source>Вертикальное разрешение %1 пиксель/метр</source>
        <translation>Vertical resolution: %1 pixels per metre</translation>
    </message>
    <message>
        <source>Изображение с палитрой из %1 цветов.</source>
        <translation>Palette picture with %1 colours.</translation>
    </message>
</context>
<context>
    <name>ReaderTexts</name>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Неподдерживаемая версия формата BMP</source>
        <translation>Unsupported BMP format version</translation>
    </message>
    <message>
        <source>Ошибка №75 Ошибка доступа к пути/файлу</source>
        <translation>Error 75: path/file access error</translation>
    </message>
    <message>
        <source>Ошибка №53 Файл не найден</source>
        <translation>Error 53: file not found</translation>
    </message>
    <message>
        <source>Ошибка №57 Ошибка ввода-вывода устройства</source>
        <translation>Error 57: device input/output error</translation>
    </message>
    <message>
        <source>Ошибка №6 Переполнение</source>
        <translation>Error 6: overflow</translation>
    </message>
    <message>
        <source>Неизвестный формат файла</source>
        <translation>Unknown file format</translation>
    </message>
    <message>
        <source>Файл %1<byte value="xd"/>
 или имеет неизвестный формат или<byte value="xd"/>
не является изображением, а содержит что-то другое.</source>
        <translation>The file %1<byte value="xd"/>
either has an unknown format<byte value="xd"/>
or is not a picture at all.</translation>
    </message>
    <message>
        <source>Формат BMP файла c %1 бит на пиксель не поддерживается.<byte value="xd"/>
Возможно только 8 бит или 24 бита на пиксель.</source>
        <translation>BMP files with %1 bits per pixel are not supported.<byte value="xd"/>
Only 8 or 24 bits per pixel are possible.</translation>
    </message>
    <message>
        <source>Формат BMP файла cо сжатием %1 не поддерживается.<byte value="xd"/>
Возможно только 8 бит или 24 бита на пиксель.</source>
        <translation>BMP files with compression %1 are not supported.<byte value="xd"/>
Only 8 or 24 bits per pixel are possible.</translation>
    </message>
    <message>
        <source>Не поддерживаемый формат</source>
        <translation>Unsupported format</translation>
    </message>
    <message>
        <source>Изображение с типом сжатия %1<byte value="xd"/>
            не поддерживается</source>
        <translation>Pictures with compression type %1<byte value="xd"/>
are not supported</translation>
    </message>
    <message>
        <source>Файл занимает 0 байт.</source>
        <translation>The file is empty (0 bytes).</translation>
    </message>
    <message>
        <source>%1-ти цветное изображение<byte value="xd"/>
не поддерживается.</source>
        <translation>A picture of %1 colours<byte value="xd"/>
is not supported.</translation>
    </message>
    <message>
        <source>Глубина цвета %1 бит на пиксель<byte value="xd"/>
не поддерживается.</source>
        <translation>A colour depth of %1 bits per pixel<byte value="xd"/>
is not supported.</translation>
    </message>
    <message>
        <source>Изображение со сжатием не поддерживается</source>
        <translation>Compressed pictures are not supported</translation>
    </message>
    <message>
        <source>Тип изображения %1<byte value="xd"/>
(сжатие RLE)</source>
        <translation>Image type %1<byte value="xd"/>
(RLE compression)</translation>
    </message>
    <message>
        <source>Изображение не удаётся декодировать:<byte value="xd"/>
%1</source>
        <translation>The picture cannot be decoded:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Изображение с отсчётами с плавающей точкой<byte value="xd"/>
не поддерживается.</source>
        <translation>Pictures with floating-point samples<byte value="xd"/>
are not supported.</translation>
    </message>
    <message>
        <source>Глубина цвета %1 на канал<byte value="xd"/>
не поддерживается.</source>
        <translation>A colour depth of %1 per channel<byte value="xd"/>
is not supported.</translation>
    </message>
</context>
<context>
    <name>Readouts</name>
    <message>
        <source>Х:  %1</source>
        <translation>X:  %1</translation>
    </message>
    <message>
        <source>Яркость %1</source>
        <translation>Value %1</translation>
    </message>
    <message>
        <source>Красный  %1</source>
        <translation>Red  %1</translation>
    </message>
    <message>
        <source>Зелёный  %1</source>
        <translation>Green  %1</translation>
    </message>
    <message>
        <source>Синий  %1</source>
        <translation>Blue  %1</translation>
    </message>
</context>
<context>
    <name>SizeLabel</name>
    <message>
        <source>%1 цветов</source>
        <translation>%1 colours</translation>
    </message>
    <message>
        <source>16 млн. цветов</source>
        <translation>16 million colours</translation>
    </message>
    <message>
        <source>Уменьшено в %1 раза</source>
        <translation>Reduced %1 times</translation>
    </message>
    <message>
        <source>Масштаб 1:1</source>
        <translation>Zoom 1:1</translation>
    </message>
    <message>
        <source>%1 градаций серого</source>
        <translation>%1 grey levels</translation>
    </message>
</context>
<context>
    <name>SizeRefusal</name>
    <message>
        <source>Изображение без точек (%1)<byte value="xd"/>
не поддерживается.</source>
        <translation>A picture without points (%1)<byte value="xd"/>
is not supported.</translation>
    </message>
    <message>
        <source>Изображение %1 слишком велико:<byte value="xd"/>
больше %2 точек не поддерживается.</source>
        <translation>The picture %1 is too large:<byte value="xd"/>
more than %2 points are not supported.</translation>
    </message>
    <message>
        <source>Изображению %1 не хватит памяти:<byte value="xd"/>
нужно %2 МБ, свободно %3 МБ.</source>
        <translation>Not enough memory for the picture %1:<byte value="xd"/>
%2 MB needed, %3 MB free.</translation>
    </message>
</context>
<context>
    <name>SummaryLabels</name>
    <message>
        <source>Сводка</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Путь</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>Формат</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Размер (ширина, высота)</source>
        <translation>Size (width, height)</translation>
    </message>
    <message>
        <source>Бит на точку</source>
        <translation>Bits per point</translation>
    </message>
    <message>
        <source>Бит на канал</source>
        <translation>Bits per channel</translation>
    </message>
    <message>
        <source>Столбцы (первый, последний)</source>
        <translation>Columns (first, last)</translation>
    </message>
    <message>
        <source>Строки (первая, последняя)</source>
        <translation>Rows (first, last)</translation>
    </message>
    <message>
        <source>Мера</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>Веса (R, G, B)</source>
        <translation>Weights (R, G, B)</translation>
    </message>
    <message>
        <source>Дата и время</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>Версия программы</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>Точек</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Мин.</source>
        <translation>Min.</translation>
    </message>
    <message>
        <source>Макс.</source>
        <translation>Max.</translation>
    </message>
    <message>
        <source>Среднее</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>Ст. откл.</source>
        <translation>Std. dev.</translation>
    </message>
    <message>
        <source>Медиана</source>
        <translation>Median</translation>
    </message>
    <message>
        <source>Гистограмма: </source>
        <translation>Histogram: </translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>От</source>
        <translation>From</translation>
    </message>
    <message>
        <source>До</source>
        <translation>To</translation>
    </message>
    <message>
        <source>Яркость чёрно-белого изображения</source>
        <translation>Grey level</translation>
    </message>
</context>
<context>
    <name>TgaReport</name>
    <message>
        <source>%1 байт содержится в поле Идентификатора.</source>
        <comment>one byte</comment>
        <translation>The image ID field holds %1 byte.</translation>
    </message>
    <message>
        <source>%1 байт содержится в поле Идентификатора.</source>
        <translation>The image ID field holds %1 bytes.</translation>
    </message>
    <message>
        <source>%1 байта содержатся в поле Идентификатора.</source>
        <translation>The image ID field holds %1 bytes.</translation>
    </message>
    <message>
        <source>%1 байт содержатся в поле Идентификатора.</source>
        <translation>The image ID field holds %1 bytes.</translation>
    </message>
    <message>
        <source>Поле идентификатора не используется.</source>
        <translation>The image ID field is not used.</translation>
    </message>
    <message>
        <source>Не содержит карту цветов.</source>
        <translation>No colour map.</translation>
    </message>
    <message>
        <source>Файл содержит карту цветов.</source>
        <translation>The file contains a colour map.</translation>
    </message>
    <message>
        <source>карта содержит %1 цветов</source>
        <translation>the map holds %1 colours</translation>
    </message>
    <message>
        <source>и начинается по адресу %1</source>
        <translation>and starts at entry %1</translation>
    </message>
    <message>
        <source>На каждый цвет палитры отведено по %1 бита.</source>
        <translation>Each palette colour takes %1 bits.</translation>
    </message>
    <message>
        <source>На каждый цвет палитры отведено по %1 бит.</source>
        <translation>Each palette colour takes %1 bits.</translation>
    </message>
    <message>
        <source>Нет изображения.</source>
        <translation>No picture data.</translation>
    </message>
    <message>
        <source>Изображение с палитрой.</source>
        <translation>Palette picture.</translation>
    </message>
    <message>
        <source>Полноцветное изображение 16 млн. цветов.</source>
        <translation>True-colour picture, 16 million colours.</translation>
    </message>
    <message>
        <source>Изображение в градациях серого.</source>
        <translation>Greyscale picture.</translation>
    </message>
    <message>
        <source>Используется сжатие</source>
        <translation>Compressed</translation>
    </message>
    <message>
        <source>Без сжатия</source>
        <translation>No compression</translation>
    </message>
    <message>
        <source>Начало изображения со столбца %1 от левого края.</source>
        <translation>The picture starts at column %1 from the left edge.</translation>
    </message>
    <message>
        <source>Начало изображения слева</source>
        <translation>The picture starts at the left edge</translation>
    </message>
    <message>
        <source>Начало изображения со строки %1 от низа.</source>
        <translation>The picture starts at row %1 from the bottom.</translation>
    </message>
    <message>
        <source>Начало изображения снизу</source>
        <translation>The picture starts at the bottom</translation>
    </message>
    <message>
        <source>Порядок обхода: Cверху вниз и</source>
        <translation>Scan order: top to bottom and</translation>
    </message>
    <message>
        <source>Порядок обхода: Cнизу вверх и</source>
        <translation>Scan order: bottom to top and</translation>
    </message>
    <message>
        <source>справа налево.</source>
        <translation>right to left.</translation>
    </message>
    <message>
        <source>слева направо.</source>
        <translation>left to right.</translation>
    </message>
    <message>
        <source>Ширина %1</source>
        <translation>Width: %1</translation>
    </message>
    <message>
        <source>Высота %1</source>
        <translation>Height: %1</translation>
    </message>
    <message>
        <source>Глубина цвета %1 бита на пиксель.</source>
        <translation>Colour depth: %1 bits per pixel.</translation>
    </message>
    <message>
        <source>Глубина цвета %1 бит на пиксель.</source>
        <translation>Colour depth: %1 bits per pixel.</translation>
    </message>
    <message>
        <source>Число атрибутивных бит на пиксель %1</source>
        <translation>Attribute bits per pixel: %1</translation>
    </message>
</context>
<context>
    <name>WorkbookTexts</name>
    <message>
        <source>Осталось  %1 с</source>
        <translation>%1 s left</translation>
    </message>
    <message>
        <source>Сохранение…</source>
        <translation>Saving…</translation>
    </message>
    <message>
        <source>Лист1</source>
        <translation>Sheet1</translation>
    </message>
    <message>
        <source>Красный</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Зелёный</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Синий</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Среднее</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>Максимум</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Яркость</source>
        <translation>Luminance</translation>
    </message>
    <message>
        <source>Лист%1</source>
        <translation>Sheet%1</translation>
    </message>
    <message>
        <source>Не удалось создать файл %1</source>
        <translation>Could not create the file %1</translation>
    </message>
    <message>
        <source>Папка не найдена.</source>
        <translation>The folder does not exist.</translation>
    </message>
    <message>
        <source>Нет права записи в эту папку.</source>
        <translation>You may not write to this folder.</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1</source>
        <translation>Could not write the file %1</translation>
    </message>
    <message>
        <source>Возможно, диск заполнен.</source>
        <translation>The disk may be full.</translation>
    </message>
    <message>
        <source>Система не принимает такое название файла.</source>
        <translation>The system does not accept this file name.</translation>
    </message>
    <message>
        <source>Вывод в таблицу</source>
        <translation>Export to a table</translation>
    </message>
    <message>
        <source>Таблица сохранена, но открыть её не удалось.<byte value="xd"/>
Она находится в файле<byte value="xd"/>
%1</source>
        <translation>The table was saved but could not be opened.<byte value="xd"/>
It is in the file<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Выделено больше точек, чем вмещает лист таблицы.<byte value="xd"/>
На листе помещается не больше %1 точек (1 048 576 строк листа без строки заголовков и трёх строк описания).<byte value="xd"/>
Выделите меньше точек или сохраните выделение в файл CSV.</source>
        <translation>More points are selected than a worksheet holds.<byte value="xd"/>
A worksheet holds at most %1 points (its 1,048,576 rows less the heading row and the three description lines).<byte value="xd"/>
Select fewer points or save the selection to a CSV file.</translation>
    </message>
    <message>
        <source>Выделено больше строк, чем вмещает лист таблицы.<byte value="xd"/>
На листе помещается не больше %1 строк изображения (1 048 576 строк листа без трёх строк описания).<byte value="xd"/>
Выделите меньше строк или сохраните выделение в файл CSV.</source>
        <translation>More rows are selected than a worksheet holds.<byte value="xd"/>
A worksheet holds at most %1 rows of the picture (its 1,048,576 rows less the three description lines).<byte value="xd"/>
Select fewer rows or save the selection to a CSV file.</translation>
    </message>
    <message>
        <source>Не удалось заменить файл %1</source>
        <translation>Could not replace the file %1</translation>
    </message>
    <message>
        <source>Он открыт в другой программе. Закройте его там и повторите вывод в таблицу.</source>
        <translation>It is open in another program. Close it there and export to the table again.</translation>
    </message>
</context>
</TS>
