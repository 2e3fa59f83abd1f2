<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>CommandLine</name>
    <message>
        <source>Показать эту справку и выйти.</source>
        <translation>Show this help and quit.</translation>
    </message>
    <message>
        <source>Показать версию программы и выйти.</source>
        <translation>Show the program&apos;s version and quit.</translation>
    </message>
    <message>
        <source>Язык программы: ru (русский, по умолчанию) или en (английский).</source>
        <translation>Language of the program: ru (Russian, the default) or en (English).</translation>
    </message>
    <message>
        <source>Lumiset переводит точки картинки BMP, TGA, PNG, JPEG, TIFF, GIF, WebP или PNM в таблицу чисел яркости.</source>
        <translation>Lumiset turns the points of a BMP, TGA, PNG, JPEG, TIFF, GIF, WebP or PNM picture into a table of brightness numbers.</translation>
    </message>
    <message>
        <source>путь</source>
        <translation>path</translation>
    </message>
    <message>
        <source>Картинка, которую открыть (окно начнёт с её папки), или папка, с которой начать.</source>
        <translation>A picture to open (the window starts in its folder), or a folder to start in.</translation>
    </message>
    <message>
        <source>[ФАЙЛ | ПАПКА]</source>
        <translation>[FILE | FOLDER]</translation>
    </message>
    <message>
        <source>Справка: lumiset --help</source>
        <translation>Help: lumiset --help</translation>
    </message>
    <message>
        <source>неизвестный язык: %1 (возможны ru и en)</source>
        <translation>unknown language: %1 (ru or en)</translation>
    </message>
    <message>
        <source>неизвестный параметр: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>лишний аргумент: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>нет такого файла или папки: %1</source>
        <translation>no such file or folder: %1</translation>
    </message>
</context>
</TS>
