<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>Artwork</name>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Подробнее</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Кратко</source>
        <translation>Overview</translation>
    </message>
    <message>
        <source>Подождите…</source>
        <translation>Please wait…</translation>
    </message>
    <message>
        <source>В таблицу</source>
        <translation>To workbook</translation>
    </message>
    <message>
        <source>В файл CSV</source>
        <translation>To CSV file</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Чтение изображения…</source>
        <translation>Reading the picture…</translation>
    </message>
    <message>
        <source>0,299·</source>
        <translation>0.299·</translation>
    </message>
    <message>
        <source> + 0,587·</source>
        <translation> + 0.587·</translation>
    </message>
    <message>
        <source> + 0,114·</source>
        <translation> + 0.114·</translation>
    </message>
</context>
<context>
    <name>CsvProgressBox</name>
    <message>
        <source>Запись файла CSV…</source>
        <translation>Writing the CSV file…</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Запись файла CSV…
Осталось  %1 с</source>
        <translation>Writing the CSV file…
%1 s left</translation>
    </message>
</context>
<context>
    <name>HelpText</name>
    <message>
        <source>Содержание
1 Основные сведения
2 Минимальные системные требования

1 Основные сведения

Программа Lumiset переводит точки изображения BMP, TGA, PNG, JPEG, TIFF, GIF, WebP или PNM в таблицу чисел: каждая ячейка таблицы содержит яркость соответствующей точки изображения. Таблица записывается в книгу Excel или в файл CSV.

В таблицу можно вывести:
  - яркость красной, зелёной или синей составляющей;
  - среднее арифметическое красной, зелёной и синей составляющих;
  - максимальное из трёх значений;
  - взвешенную яркость 0,299·R + 0,587·G + 0,114·B (коэффициенты можно изменить).
Если все точки выбранной области серые, выводится красная составляющая.

Флажок &quot;Заливка цветом фона ячеек...&quot; закрашивает фон каждой ячейки приблизительным цветом её точки. Это может занять много времени (до нескольких минут на большую область). Цвет подбирается из 56 цветов: столько цветов для оформления таблиц предлагали табличные редакторы того поколения.

Под таблицей записываются строки с пояснениями, например:
Файл: tyu2.bmp    Точек 211x23   ; 256 градаций серого

При открытии 256-цветного изображения в окне показывается его палитра из всех 256 цветов.

Программа создана в ходе работы над проектом распознавания трёхмерных изображений и исследования видеоизображений: ей удобно получать числовые данные для расчётов по снимкам и кадрам видео.

2 Минимальные системные требования

* Windows 10 или старше, либо Linux с Qt 6.4 или новее.
* Для просмотра таблиц - Excel, LibreOffice Calc или другой редактор таблиц, открывающий файлы XLSX и CSV.
</source>
        <translation>Contents
1 Overview
2 System requirements

1 Overview

Lumiset turns the points of a BMP, TGA, PNG, JPEG, TIFF, GIF, WebP or PNM picture into a table of numbers: each cell of the table holds the brightness of the matching point of the picture. The table is written to an Excel workbook or to a CSV file.

The table can hold:
  - the red, green or blue component;
  - the mean of the red, green and blue components;
  - the maximum of the three;
  - the luminance 0.299·R + 0.587·G + 0.114·B (the weights can be changed).
If every point of the selected region is grey, the red component is written.

The tick box &quot;Colour each cell like its point&quot; fills each cell with an approximate colour of its point. This can take a long time (up to several minutes for a large region). The colour is chosen from 56 colours, the palette that spreadsheet programs of that generation offered for formatting tables.

Below the table come lines that describe it, for example:
File: tyu2.bmp    Points 211 × 23   ; 256 grey levels

When a 256-colour picture is opened, the window shows its palette of all 256 colours.

The program was written during work on the recognition of three-dimensional pictures and the study of video: it makes it easy to get numbers for calculations from photographs and video frames.

2 System requirements

* Windows 10 or later, or Linux with Qt 6.4 or later.
* To view the tables: Excel, LibreOffice Calc or another spreadsheet program that opens XLSX and CSV files.
</translation>
    </message>
</context>
<context>
    <name>lumiset::CommandButtons</name>
    <message>
        <source>Открыть файл</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>lumiset::ExportForm</name>
    <message>
        <source>Вывод в таблицу</source>
        <translation>Export to a table</translation>
    </message>
    <message>
        <source>Непосредственно экспорт в таблицу</source>
        <translation>Export to a workbook now</translation>
    </message>
    <message>
        <source>Сохранить выделенную область в файл CSV</source>
        <translation>Save the selected region to a CSV file</translation>
    </message>
    <message>
        <source>Отменить и вернуться к открытию файлов</source>
        <translation>Cancel and go back to opening files</translation>
    </message>
    <message>
        <source>Справка о настройках в этом окне</source>
        <translation>Help on the settings in this window</translation>
    </message>
    <message>
        <source>Параметры вывода: расположение значений, кодировка CSV, лист «Сводка»</source>
        <translation>Output options: layout of values, CSV file encoding, “Summary” sheet</translation>
    </message>
    <message>
        <source>Параметры вывода</source>
        <translation>Output options</translation>
    </message>
    <message>
        <source>Заливка цветом фона ячеек таблицы (Значительно замедляет вывод в таблицу)</source>
        <translation>Colour each cell like its point (makes export to a workbook much slower)</translation>
    </message>
    <message>
        <source>Недостаточно памяти</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>Для изображения из файла
%1
не хватает памяти.
Закройте другие программы и откройте файл снова.</source>
        <translation>There is not enough memory for the picture in the file
%1
Close other programs and open the file again.</translation>
    </message>
    <message>
        <source>Ошибка чтения файла</source>
        <translation>Cannot read the file</translation>
    </message>
    <message>
        <source>Не удалось прочитать изображение из файла
%1
Файл недоступен или изменился после открытия. Откройте его снова.</source>
        <translation>The picture could not be read from the file
%1
The file is unavailable or has changed since it was opened. Open it again.</translation>
    </message>
    <message>
        <source>Ввести коэффициент красной составляющей</source>
        <translation>Weight of the red component</translation>
    </message>
    <message>
        <source>Ввести коэффициент зелёной составляющей</source>
        <translation>Weight of the green component</translation>
    </message>
    <message>
        <source>Ввести коэффициент синей составляющей</source>
        <translation>Weight of the blue component</translation>
    </message>
    <message>
        <source>Введите долю красной составляющей </source>
        <translation>Enter the weight of the red component </translation>
    </message>
    <message>
        <source>Введите долю зелёной составляющей </source>
        <translation>Enter the weight of the green component </translation>
    </message>
    <message>
        <source>Введите долю синей составляющей </source>
        <translation>Enter the weight of the blue component </translation>
    </message>
</context>
<context>
    <name>lumiset::FileBrowser</name>
    <message>
        <source>*.BMP (изображение Bitmap)</source>
        <translation>*.BMP (Bitmap picture)</translation>
    </message>
    <message>
        <source>*.TGA (изображение TarGA)</source>
        <translation>*.TGA (TarGA picture)</translation>
    </message>
    <message>
        <source>*.*   (все форматы)</source>
        <translation>*.*   (all formats)</translation>
    </message>
    <message>
        <source>*.BMP;*.PNG;*.JPG… (все изображения)</source>
        <translation>*.BMP;*.PNG;*.JPG… (all pictures)</translation>
    </message>
    <message>
        <source>Ошибка %1 Устройство недоступно</source>
        <translation>Error %1 Device unavailable</translation>
    </message>
    <message>
        <source>Ошибка %1 Путь не найден</source>
        <translation>Error %1 Path not found</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Диск C: недоступен.</source>
        <translation>Drive C: is unavailable.</translation>
    </message>
    <message>
        <source>Диск А: недоступен.</source>
        <translation>Drive A: is unavailable.</translation>
    </message>
    <message>
        <source>Невозможно открыть путь</source>
        <translation>Cannot open the path</translation>
    </message>
    <message>
        <source>Файловый путь не доступен или не существует</source>
        <translation>The path is unavailable or does not exist</translation>
    </message>
</context>
<context>
    <name>lumiset::FileReport</name>
    <message>
        <source>Файл:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>Информация о файле</source>
        <translation>File information</translation>
    </message>
    <message>
        <source>Показывать файл</source>
        <translation>Show file</translation>
    </message>
</context>
<context>
    <name>lumiset::HelpExportForm</name>
    <message>
        <source>Справка: вывод в таблицу</source>
        <translation>Help: export to a table</translation>
    </message>
    <message>
        <source>После загрузки файла можно сделать следующие настройки:</source>
        <translation>Once a file is loaded, you can:</translation>
    </message>
    <message>
        <source>1)  Выбрать область для вывода в таблицу на изображении</source>
        <translation>1)  Select on the picture the region to export</translation>
    </message>
    <message>
        <source>(левой кнопкой мыши, а правая кнопка изменяет цвет прямоугольника выделения)</source>
        <translation>(with the left mouse button; the right button changes the colour of the selection frame)</translation>
    </message>
    <message>
        <source>2)  Задать, какие данные вывести:</source>
        <translation>2)  Choose what to write:</translation>
    </message>
    <message>
        <source> а) Яркость красной, зелёной или синей составляющей</source>
        <translation> a) The red, green or blue component</translation>
    </message>
    <message>
        <source> б) Яркость как среднее арифметическое</source>
        <translation> b) The mean of R, G and B</translation>
    </message>
    <message>
        <source>в) Яркость как максимальное значение из красной зелёной и синей</source>
        <translation>c) The maximum of R, G and B</translation>
    </message>
    <message>
        <source>г) Или как</source>
        <translation>d) Or</translation>
    </message>
    <message>
        <source>3) В выделнной области левая кнопка мыши увеличивает, а правая уменьшает.</source>
        <translation>3) In the zoomed region, the left mouse button zooms in and the right one zooms out.</translation>
    </message>
</context>
<context>
    <name>lumiset::HelpOpenForm</name>
    <message>
        <source>Версия %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>О программе Lumiset</source>
        <translation>About Lumiset</translation>
    </message>
    <message>
        <source>Программа выводит яркость точек изображения *.bmp в таблицу Excel или сохраняет в файл CSV.</source>
        <translation>The program writes the brightness of the points of a *.bmp picture to an Excel workbook or a CSV file.</translation>
    </message>
    <message>
        <source>Действие программы - преобразование яркостей изображения в таблицу:</source>
        <translation>What it does: turns the brightness of a picture into a table:</translation>
    </message>
    <message>
        <source>Исходный файл (например, tyu2.bmp)</source>
        <translation>Source file (for example, tyu2.bmp)</translation>
    </message>
    <message>
        <source>Яркости точек (к примеру) красной составляющей</source>
        <translation>Brightness of the points (here, the red component)</translation>
    </message>
    <message>
        <source>Разработка: команда Lumiset</source>
        <translation>Developed by the Lumiset team</translation>
    </message>
    <message>
        <source>Выпуск 2026 года</source>
        <translation>Released in 2026</translation>
    </message>
    <message>
        <source>Сайт:</source>
        <translation>Web:</translation>
    </message>
    <message>
        <source>Руководство пользователя</source>
        <translation>User manual</translation>
    </message>
</context>
<context>
    <name>lumiset::MeasurePanel</name>
    <message>
        <source>ВЫВЕСТИ :</source>
        <translation>OUTPUT:</translation>
    </message>
    <message>
        <source>Красную составляющую</source>
        <translation>Red component</translation>
    </message>
    <message>
        <source>Зелёную</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Синюю</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Среднее арифметическое значение</source>
        <translation>Mean of R, G and B</translation>
    </message>
    <message>
        <source>Максимальное значение</source>
        <translation>Maximum of R, G and B</translation>
    </message>
    <message>
        <source>Красный·0,299 + Зелёный·0,587 + Синий·0,114 - вклады в яркость в практике для телевизионного сигнала</source>
        <translation>Luminance = 0.299·R + 0.587·G + 0.114·B: the weights used for television signals</translation>
    </message>
    <message>
        <source>Яркость = Красн.·</source>
        <translation>Luminance = R·</translation>
    </message>
    <message>
        <source> + Зел.·</source>
        <translation> + G·</translation>
    </message>
    <message>
        <source> + Син.·</source>
        <translation> + B·</translation>
    </message>
    <message>
        <source>Яркость чёрно-белого изображения</source>
        <translation>Grey level</translation>
    </message>
</context>
<context>
    <name>lumiset::OutputOptionsDialog</name>
    <message>
        <source>Параметры вывода</source>
        <translation>Output options</translation>
    </message>
    <message>
        <source>Расположение значений</source>
        <translation>Layout of values</translation>
    </message>
    <message>
        <source>Как на изображении: строка таблицы на строку точек</source>
        <translation>As in the picture: one table row per row of points</translation>
    </message>
    <message>
        <source>Списком: строка таблицы на каждую точку (X, Y и значения)</source>
        <translation>As a list: one table row per point (X, Y and values)</translation>
    </message>
    <message>
        <source>Списком в файл CSV выводится область любой ширины, в таблицу — не больше %1 точек; ячейки при этом цветом не заливаются.</source>
        <translation>As a list, a CSV file takes a region of any width and a workbook at most %1 points; the cells are then not coloured.</translation>
    </message>
    <message>
        <source>Кодировка файла CSV</source>
        <translation>CSV file encoding</translation>
    </message>
    <message>
        <source>UTF-8 с меткой BOM</source>
        <translation>UTF-8 with BOM</translation>
    </message>
    <message>
        <source>Файл в UTF-8 с меткой BOM Excel и LibreOffice открывают без выбора кодировки.</source>
        <translation>Excel and LibreOffice open a UTF-8 file with a BOM without asking for its encoding.</translation>
    </message>
    <message>
        <source>Вывод в таблицу</source>
        <translation>Export to a table</translation>
    </message>
    <message>
        <source>Добавить лист «Сводка»</source>
        <translation>Add a “Summary” sheet</translation>
    </message>
    <message>
        <source>Статистика области, гистограмма и сведения об изображении — после листов со значениями.</source>
        <translation>The region&apos;s statistics, a histogram and the picture&apos;s details, after the sheets of values.</translation>
    </message>
    <message>
        <source>&amp;Язык:</source>
        <translation>&amp;Language:</translation>
    </message>
</context>
<context>
    <name>lumiset::PixelReadout</name>
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
        <source>Яркость</source>
        <translation>Value</translation>
    </message>
</context>
<context>
    <name>lumiset::RegionControls</name>
    <message>
        <source>Со столбца</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>до</source>
        <translation>to</translation>
    </message>
    <message>
        <source>Будет выведено</source>
        <translation>To be written</translation>
    </message>
    <message>
        <source>Со строки</source>
        <translation>Rows</translation>
    </message>
    <message>
        <source>Будет
выведено</source>
        <translation>To be
written</translation>
    </message>
    <message>
        <source>Первый столбец</source>
        <translation>First column</translation>
    </message>
    <message>
        <source>Последний столбец</source>
        <translation>Last column</translation>
    </message>
    <message>
        <source>Первая строка</source>
        <translation>First row</translation>
    </message>
    <message>
        <source>Последняя строка</source>
        <translation>Last row</translation>
    </message>
</context>
<context>
    <name>lumiset::ZoomPanel</name>
    <message>
        <source>Масштаб</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Масштаб %1%</source>
        <translation>Zoom %1%</translation>
    </message>
</context>
</TS>
