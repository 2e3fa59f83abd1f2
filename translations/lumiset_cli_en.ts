<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>StatsTable</name>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Ширина</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Высота</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>Первый столбец</source>
        <translation>First column</translation>
    </message>
    <message>
        <source>Первая строка</source>
        <translation>First row</translation>
    </message>
    <message>
        <source>Последний столбец</source>
        <translation>Last column</translation>
    </message>
    <message>
        <source>Последняя строка</source>
        <translation>Last row</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
</context>
</TS>
