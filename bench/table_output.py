"""Driver of bench/table_output.sh: times lumiset-cli export against numpy and
python xlsxwriter doing the same job, and measures the export's peak memory."""

import os
import resource
import struct
import subprocess
import sys
import tempfile
import time

import numpy as np
import xlsxwriter

W, H = 256, 9000
cli = sys.argv[1]
tmp = tempfile.mkdtemp()
image = os.path.join(tmp, "bench.bmp")

rng = np.random.default_rng(7)
pixels = rng.integers(0, 256, size=(H, W, 3), dtype=np.uint8)  # top row first, RGB
stride = (W * 3 + 3) & ~3
body = pixels[::-1, :, ::-1].reshape(H, W * 3)
with open(image, "wb") as f:
    f.write(struct.pack("<2sIHHI", b"BM", 54 + stride * H, 0, 0, 54))
    f.write(struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, stride * H, 2835, 2835, 0, 0))
    f.write(body.tobytes())


def timed(fn, repeats=3):
    best = float("inf")
    for _ in range(repeats):
        t = time.perf_counter()
        fn()
        best = min(best, time.perf_counter() - t)
    return best


def cli_run(*args):
    subprocess.run([cli, "export", image, "--from", "1,1"] + list(args), check=True,
                   env=dict(os.environ, LC_ALL="C"))


def read_bmp():
    raw = np.fromfile(image, dtype=np.uint8, offset=54).reshape(H, stride)[::-1, : W * 3].reshape(H, W, 3)
    return raw[:, :, ::-1].astype(np.float64)


def luminance(rgb):
    cr, cg, cb = (float(np.float32(x)) for x in (0.299, 0.587, 0.114))
    return (rgb[:, :, 1] * cg + rgb[:, :, 0] * cr + rgb[:, :, 2] * cb).astype(np.float32)


csv_out = os.path.join(tmp, "out.csv")
t_csv = timed(lambda: cli_run("--to", "%d,%d" % (W, H), "--measure", "luma", "--csv", csv_out))
t_np = timed(lambda: np.savetxt(os.path.join(tmp, "np.csv"), luminance(read_bmp()), fmt="%.2f", delimiter=";",
                                newline="\r\n"))

xlsx_out = os.path.join(tmp, "out.xlsx")
t_xlsx = timed(lambda: cli_run("--to", "%d,%d" % (W, H), "--measure", "luma", "--fill", "--xlsx", xlsx_out), 2)
values = luminance(read_bmp())
fills = (pixels[:, :, 0] // 64).astype(np.int64) * 16 + pixels[:, :, 1] // 64  # 16 fill colours


def python_workbook():
    book = xlsxwriter.Workbook(os.path.join(tmp, "py.xlsx"), {"constant_memory": True})
    sheet = book.add_worksheet()
    formats = [book.add_format({"bg_color": "#%02X%02X00" % (k // 16 * 64, k % 16 * 64), "pattern": 1,
                                "font_color": "#FFFFFF", "num_format": "0.00"}) for k in range(256)]
    for r in range(H):
        row_values = values[r].tolist()
        row_fills = fills[r].tolist()
        for c in range(W):
            sheet.write_number(r, c, row_values[c], formats[row_fills[c]])
    book.close()


t_py = timed(python_workbook, 1)


def peak_rss_kib(*args):
    code = ("import resource,subprocess,sys;subprocess.run(sys.argv[1:],check=True);"
            "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    out = subprocess.run([sys.executable, "-c", code, cli, "export", image, "--from", "1,1"] + list(args),
                         capture_output=True, text=True, check=True, env=dict(os.environ, LC_ALL="C"))
    return int(out.stdout.strip())


base = peak_rss_kib("--to", "1,1", "--fill", "--xlsx", os.path.join(tmp, "m1.xlsx"))
full = peak_rss_kib("--to", "%d,%d" % (W, H), "--measure", "luma", "--fill", "--xlsx", os.path.join(tmp, "m2.xlsx"))
cells = W * H
print("region %d x %d = %d cells" % (W, H, cells))
print("CSV:      lumiset %.3f s, numpy.savetxt %.3f s, ratio %.1fx (target >= 10x)" % (t_csv, t_np, t_np / t_csv))
print("workbook: lumiset %.3f s, python xlsxwriter %.3f s, ratio %.1fx (target >= 4x)" % (t_xlsx, t_py, t_py / t_xlsx))
print("memory:   peak %d KiB vs %d KiB for one cell: %.1f bytes per cell beyond the pixel tables (limit 64)"
      % (full, base, (full - base) * 1024.0 / cells))
