#!/usr/bin/python3
"""Reads workbooks written by `lumiset-cli export --xlsx` back with openpyxl,
an independent reader, and checks values, fills, fonts, number formats, column
widths and the description lines; also the long layout, the summary sheet and
the worksheet of `lumiset-cli stats --xlsx`. Usage: xlsx_readback.py LUMISET_CLI"""

import math
import os
import statistics
import struct
import subprocess
import sys
import tempfile

import openpyxl

PALETTE = [  # red, green, blue, colour index, text index
    (255, 255, 255, 0, 1), (0, 0, 0, 1, 2), (255, 255, 255, 2, 1), (255, 0, 0, 3, 2), (0, 255, 0, 4, 1),
    (0, 0, 255, 5, 2), (255, 255, 0, 6, 1), (255, 0, 255, 7, 2), (0, 255, 255, 8, 1), (128, 0, 0, 9, 2),
    (0, 128, 0, 10, 2), (0, 0, 128, 11, 2), (128, 128, 0, 12, 2), (128, 0, 128, 13, 2), (0, 128, 128, 14, 2),
    (192, 192, 192, 15, 1), (128, 128, 128, 16, 1), (153, 153, 255, 17, 1), (255, 255, 204, 19, 1),
    (102, 0, 102, 21, 2), (255, 128, 128, 22, 1), (0, 102, 204, 23, 2), (204, 204, 255, 24, 1),
    (0, 204, 255, 33, 1), (204, 255, 255, 34, 1), (204, 255, 204, 35, 1), (255, 255, 153, 36, 1),
    (153, 204, 255, 37, 1), (255, 153, 204, 38, 1), (204, 153, 255, 39, 1), (255, 204, 153, 40, 1),
    (51, 102, 255, 41, 2), (51, 204, 204, 42, 1), (153, 204, 0, 43, 1), (255, 204, 0, 44, 1),
    (255, 153, 0, 45, 1), (255, 102, 0, 46, 1), (102, 102, 153, 47, 2), (150, 150, 150, 48, 1),
    (0, 51, 102, 49, 2), (51, 153, 102, 50, 1), (0, 51, 0, 51, 2), (51, 51, 0, 52, 2), (153, 51, 0, 53, 2),
    (153, 51, 102, 54, 2), (51, 51, 153, 55, 2), (51, 51, 51, 56, 2)]
RGB_OF_INDEX = {}
for r, g, b, idx, _ in PALETTE:
    RGB_OF_INDEX.setdefault(idx, "%02X%02X%02X" % (r, g, b))

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def bmp24(rows):
    """A bottom-up 24-bit BMP of rows given top first as (r, g, b)."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def expected_colours(r, g, b):
    if r == g == b:
        for up, fill, font in ((25, 1, 2), (89, 56, 2), (139, 16, 1), (171, 48, 1), (223, 15, 1), (255, 2, 1)):
            if r <= up:
                return fill, font
    best, entry = 255, 0
    for e, (pr, pg, pb, _, _) in enumerate(PALETTE):
        d = abs(g - pg) + abs(r - pr) + abs(b - pb)
        if d < best:
            best, entry = d, e
        if best < 18:
            break
    return PALETTE[entry][3], PALETTE[entry][4]


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def seven(x):
    """The number written by the seven significant digits of the float x."""
    return float("%.7g" % f32(x))


def run(cli, args):
    p = subprocess.run([cli, "export"] + args, capture_output=True)
    check(p.returncode == 0, "exit %d for %s: %s" % (p.returncode, args, p.stderr))


def stored_width(texts):
    """Column width the spreadsheet's autofit stores for the widest of the shown
    texts: digits 7 pixels, "." and "," 4, "-" 5, plus 7 pixels of padding, in
    whole 256ths of a 7-pixel character."""
    px = max(sum(4 if ch in ".," else 5 if ch == "-" else 7 for ch in t) for t in texts) + 7
    return math.floor(px * 256 / 7) / 256


def check_widths(ws, rows, columns, shown, what):
    for j in range(1, columns + 1):
        letter = openpyxl.utils.get_column_letter(j)
        want = stored_width([shown(ws.cell(i, j).value) for i in range(1, rows + 1)])
        got = ws.column_dimensions[letter].width
        check(got == want, "%s width of %s: %r, want %r" % (what, letter, got, want))


def colour(c):
    return (c.rgb or "")[-6:] if c is not None and c.type == "rgb" else ""


def main():
    cli = sys.argv[1]
    tmp = tempfile.mkdtemp()
    rows = [[(10, 20, 31), (255, 0, 0), (255, 255, 255), (250, 10, 10)],
            [(0, 0, 1), (100, 150, 200), (7, 7, 7), (255, 255, 250)],
            [(1, 2, 3), (40, 40, 40), (200, 100, 0), (0, 128, 0)]]
    image = os.path.join(tmp, "tyu2.bmp")
    with open(image, "wb") as f:
        f.write(bmp24(rows))

    # Mean with cell colours.
    book = os.path.join(tmp, "mean.xlsx")
    run(cli, [image, "--to", "4,3", "--measure", "mean", "--fill", "--locale", "ru_RU", "--xlsx", book])
    ws = openpyxl.load_workbook(book).active
    for i, row in enumerate(rows, 1):
        for j, (r, g, b) in enumerate(row, 1):
            cell = ws.cell(i, j)
            check(cell.value == seven((g + r + b) / 3.0), "value %d,%d: %r" % (i, j, cell.value))
            check(cell.number_format == "0.00", "number format %d,%d: %r" % (i, j, cell.number_format))
            fill, font = expected_colours(r, g, b)
            shown_fill = cell.fill.fgColor if cell.fill.fill_type == "solid" else None
            want_fill = RGB_OF_INDEX.get(fill, "") if fill not in (0, 2) else ""
            check(colour(shown_fill) == want_fill, "fill %d,%d: %r, want %r" % (i, j, colour(shown_fill), want_fill))
            want_font = RGB_OF_INDEX[font] if font > 1 else ""
            check(colour(cell.font.color) == want_font, "font %d,%d: %r" % (i, j, colour(cell.font.color)))
    check(ws.cell(4, 1).value == "Файл: tyu2.bmp ;    Точек 4x3   ; 16777216 цветов", "file line %r" % ws.cell(4, 1).value)
    check(ws.cell(5, 1).value == "Выведена ЯРКОСТЬ как среднее арифметическое от красной, зелёной и синей составляющей",
          "measure line %r" % ws.cell(5, 1).value)
    check(ws.cell(6, 1).value == "От [1;1] до [4;3] (отсчёт с левого верхнего угла), занятый диапазон в таблице [A1:D3]",
          "region line %r" % ws.cell(6, 1).value)
    # Fitted to the values as shown with two decimals, not to the long lines below.
    check_widths(ws, 3, 4, lambda v: "%.2f" % v, "mean")

    # Red component: whole numbers, general format, red measure line.
    book = os.path.join(tmp, "red.xlsx")
    run(cli, [image, "--to", "2,2", "--measure", "red", "--xlsx", book])
    ws = openpyxl.load_workbook(book).active
    check([[ws.cell(i, j).value for j in (1, 2)] for i in (1, 2)] == [[10, 255], [0, 100]], "red values")
    check(ws.cell(1, 1).number_format == "General", "red keeps the general format")
    check(ws.cell(1, 1).fill.fill_type is None, "no fills without --fill")
    check(colour(ws.cell(4, 1).font.color) == "FF0000", "red measure line font %r" % colour(ws.cell(4, 1).font.color))
    check(ws.cell(4, 1).value == "Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ", "red measure line text")
    check_widths(ws, 2, 2, lambda v: "%d" % v, "red")

    # Luminance with large weights: columns of different widths.
    book = os.path.join(tmp, "wide.xlsx")
    run(cli, [image, "--to", "4,3", "--measure", "luma", "--weights", "100,0.5,0.001", "--xlsx", book])
    ws = openpyxl.load_workbook(book).active
    check(ws.cell(1, 2).value == f32(255 * float(f32(100))), "large value %r" % ws.cell(1, 2).value)
    check_widths(ws, 3, 4, lambda v: "%.2f" % v, "luminance")

    # Green and blue measure lines, luminance with its weights, grey region.
    for measure, want, text in (("green", "008000", "Выведена ЯРКОСТЬ ЗЕЛЁНОЙ СОСТАВЛЯЮЩЕЙ"),
                                ("blue", "000080", "Выведена ЯРКОСТЬ СИНЕЙ СОСТАВЛЯЮЩЕЙ"),
                                ("luma", "", "Выведена ЯРКОСТЬ = 0,299•R + 0,587•G + 0,114•B")):
        book = os.path.join(tmp, measure + ".xlsx")
        run(cli, [image, "--to", "1,1", "--from", "1,1", "--measure", measure, "--locale", "ru_RU", "--xlsx", book])
        ws = openpyxl.load_workbook(book).active
        check(ws.cell(3, 1).value == text, "%s line %r" % (measure, ws.cell(3, 1).value))
        check(colour(ws.cell(3, 1).font.color) == want, "%s line colour %r" % (measure, colour(ws.cell(3, 1).font.color)))
    book = os.path.join(tmp, "grey.xlsx")
    run(cli, [image, "--from", "3,2", "--to", "3,2", "--measure", "luma", "--weights", "0.9,0.9,0.9", "--xlsx", book])
    ws = openpyxl.load_workbook(book).active
    check(ws.cell(1, 1).value == 7 and ws.cell(1, 1).number_format == "General", "grey region writes red")
    check(ws.cell(3, 1).value == "Выведена ЯРКОСТЬ (яркость чёрно-белого изображения)", "grey measure line")

    # Wider than the old 256 columns: every value, every width and the lines naming it.
    wide_rows = [[((i * 7 + j) % 256, j % 251, 3) for j in range(1000)] for i in range(2)]
    wide_image = os.path.join(tmp, "wide1000.bmp")
    with open(wide_image, "wb") as f:
        f.write(bmp24(wide_rows))
    book = os.path.join(tmp, "wide1000.xlsx")
    run(cli, [wide_image, "--to", "1000,2", "--measure", "green", "--xlsx", book])
    ws = openpyxl.load_workbook(book).active
    check(ws.max_column == 1000, "wide columns %d" % ws.max_column)
    check([[ws.cell(i, j).value for j in range(1, 1001)] for i in (1, 2)] == [[j % 251 for j in range(1000)]] * 2,
          "wide values")
    check((ws.cell(5, 1).value or "").endswith("[A1:ALL2]"), "wide region line %r" % ws.cell(5, 1).value)
    check_widths(ws, 2, 1000, lambda v: "%d" % v, "wide")

    # Several measures: one worksheet each, named in Russian, each with its own lines.
    book = os.path.join(tmp, "measures.xlsx")
    run(cli, [image, "--to", "4,3", "--measure", "red,mean,luma", "--locale", "ru_RU", "--xlsx", book])
    wb = openpyxl.load_workbook(book)
    check(wb.sheetnames == ["Красный", "Среднее", "Яркость"], "sheet names %r" % wb.sheetnames)
    r, g, b = rows[0][0]
    for name, value, fmt, line in (
            ("Красный", r, "General", "Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ"),
            ("Среднее", seven((g + r + b) / 3.0), "0.00",
             "Выведена ЯРКОСТЬ как среднее арифметическое от красной, зелёной и синей составляющей"),
            ("Яркость", seven(g * f32(0.587) + r * f32(0.299) + b * f32(0.114)), "0.00",
             "Выведена ЯРКОСТЬ = 0,299•R + 0,587•G + 0,114•B")):
        if name not in wb.sheetnames:
            continue
        ws = wb[name]
        check(ws.cell(1, 1).value == value, "%s value %r, want %r" % (name, ws.cell(1, 1).value, value))
        check(ws.cell(1, 1).number_format == fmt, "%s number format %r" % (name, ws.cell(1, 1).number_format))
        check(ws.cell(5, 1).value == line, "%s measure line %r" % (name, ws.cell(5, 1).value))
        check(ws.cell(4, 1).value == "Файл: tyu2.bmp ;    Точек 4x3   ; 16777216 цветов", "%s file line" % name)

    # 16 bits per channel: the double sums, to the 16 significant digits the workbook keeps.
    deep = os.path.join(tmp, "deep.ppm")
    samples = [(54445, 4235, 35909), (15455, 64937, 58915)]
    with open(deep, "wb") as f:
        f.write(b"P6\n2 1\n65535\n" + b"".join(struct.pack(">HHH", *p) for p in samples))
    book = os.path.join(tmp, "deep.xlsx")
    run(cli, [deep, "--to", "2,1", "--measure", "mean,luma", "--xlsx", book])
    wb = openpyxl.load_workbook(book)
    for j, (r, g, b) in enumerate(samples, 1):
        for name, value in (("Среднее", (g + r + b) / 3.0), ("Яркость", g * f32(0.587) + r * f32(0.299) + b * f32(0.114))):
            got = wb[name].cell(1, j).value if name in wb.sheetnames else None
            check(got is not None and math.isclose(got, value, rel_tol=1e-15), "16-bit %s %d: %r, want %r" % (name, j, got, value))

    # Long layout: a row per point, X and Y, the components, then a column per
    # measure; the summary sheet after it.
    book = os.path.join(tmp, "long.xlsx")
    run(cli, [image, "--to", "4,3", "--layout", "long", "--measure", "red,mean", "--summary", "--xlsx", book])
    wb = openpyxl.load_workbook(book)
    check(wb.sheetnames == ["Лист1", "Сводка"], "long layout sheets %r" % wb.sheetnames)
    want = [("X", "Y", "Красный", "Зелёный", "Синий", "Красный", "Среднее")]
    want += [(x, y, r, g, b, r, seven((g + r + b) / 3.0))
             for y, row in enumerate(rows, 1) for x, (r, g, b) in enumerate(row, 1)]
    got = [tuple(c.value for c in wb.worksheets[0][i][:7]) for i in range(1, len(want) + 1)]
    check(got == want, "long layout rows %r" % got)
    formats = [c.number_format for c in wb.worksheets[0][2][:7]]
    check(formats == ["General"] * 6 + ["0.00"], "long layout formats %r" % formats)
    lines = [wb.worksheets[0].cell(r, 1).value for r in (14, 15, 16)]
    check(lines == ["Файл: tyu2.bmp ;    Точек 4x3   ; 16777216 цветов",
                    "Выведена ЯРКОСТЬ КРАСНОЙ СОСТАВЛЯЮЩЕЙ / Выведена ЯРКОСТЬ как среднее арифметическое от красной, "
                    "зелёной и синей составляющей",
                    "От [1;1] до [4;3] (отсчёт с левого верхнего угла), занятый диапазон в таблице [A1:G13]"],
          "long layout lines %r" % lines)
    # Statistics of the red values, each histogram adding up to the points, a chart each.
    summary = list(wb["Сводка"].iter_rows(values_only=True)) if "Сводка" in wb.sheetnames else []
    reds = [r for row in rows for r, _, _ in row]
    heading = ("Мера", "Точек", "Мин.", "Макс.", "Среднее", "Ст. откл.", "Медиана")
    red = summary[summary.index(heading) + 1] if heading in summary else ()
    check(red[:4] == ("Красный", 12, 0, 255) and math.isclose(red[4], statistics.mean(reds))
          and math.isclose(red[5], statistics.stdev(reds)) and red[6] == statistics.median(reds),
          "summary red statistics %r" % (red,))
    starts = [i for i, r in enumerate(summary) if str(r[0]).startswith("Гистограмма: ")]
    for i in starts:
        bars = [r for r in summary[i + 2:i + 2 + 256]]
        total = sum(r[1] if r[2] is None else r[2] for r in bars)
        check(len(bars) == 256 and total == 12, "histogram %r: %d bars, %r points" % (summary[i][0], len(bars), total))
    check(len(starts) == 2 and len(wb["Сводка"]._charts) == 2, "histograms %d" % len(starts))

    # Statistics of several pictures: a worksheet of numbers.
    book = os.path.join(tmp, "stats.xlsx")
    p = subprocess.run([cli, "stats", image, deep, "--measure", "red,luma", "--xlsx", book], capture_output=True)
    check(p.returncode == 0 and p.stdout == b"", "stats exit %d: %s" % (p.returncode, p.stderr))
    got = list(openpyxl.load_workbook(book)["Статистика"].iter_rows(values_only=True))
    check(got[0] == ("Файл", "Ширина", "Высота", "Первый столбец", "Первая строка", "Последний столбец",
                     "Последняя строка") + heading, "stats headings %r" % (got[0],))
    lumas = [round(float(g * f32(0.587) + r * f32(0.299) + b * f32(0.114)), 2) for r, g, b in samples]
    for line, (path, width, height, name, values) in zip(got[1:], (
            (image, 4, 3, "Красный", reds), (image, 4, 3, "Яркость", None), (deep, 2, 1, "Красный", [s[0] for s in samples]),
            (deep, 2, 1, "Яркость", lumas))):
        check(line[:9] == (path, width, height, 1, 1, width, height, name, width * height), "stats line %r" % (line,))
        if values:
            check(line[9:11] == (min(values), max(values)) and math.isclose(line[11], statistics.mean(values))
                  and math.isclose(line[12], statistics.stdev(values)) and math.isclose(line[13], statistics.median(values)),
                  "stats figures %r, want %r" % (line, values))
    check(len(got) == 5, "stats lines %d" % len(got))

    for f in failures:
        print("FAIL:", f)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
