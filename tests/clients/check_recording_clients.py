#!/usr/bin/python3
"""A recording as the spreadsheet and the data library a mechanic uses read it: LibreOffice
Calc (headless, through --convert-to) and pandas must take every number as the number it is,
the empty advance as empty, the curve as A or B, and the marks as a column of their own.

  check_recording_clients.py RECORDING.csv    checks that file
  check_recording_clients.py --bench EXE      writes a ride of the virtual unit with EXE
                                              (zentrola-viewer-bench --write) and checks it

Exit 0: both clients agree with the file; 1: a number differs (said on stderr); 77: pandas or
soffice is not installed (scripts/check-recording-clients installs them).
"""
import csv
import math
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SKIP = 77
ROWS = 1000
TEXT_COLUMNS = {"curve"}


def fail(message):
    print("recording clients: " + message, file=sys.stderr)
    sys.exit(1)


def expected(path):
    """The file's own text, field by field: the numbers every client must find."""
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    header, body = rows[0], rows[1:]
    columns = {name: [] for name in header}
    for row in body:
        if len(row) != len(header):
            fail("a row with %d fields under a header of %d" % (len(row), len(header)))
        for name, field in zip(header, row):
            if name in TEXT_COLUMNS:
                columns[name].append(field)
            else:
                columns[name].append(float(field) if field != "" else math.nan)
    return header, columns


def same(a, b):
    if isinstance(a, str) or isinstance(b, str):
        return a == b
    if math.isnan(a) or math.isnan(b):
        return math.isnan(a) and math.isnan(b)
    return abs(a - b) <= 1e-9 * max(1.0, abs(a))


def check_pandas(path, header, columns):
    import pandas as pd

    frame = pd.read_csv(path)
    if list(frame.columns) != header:
        fail("pandas: columns %s" % list(frame.columns))
    if len(frame) != len(columns["time_s"]):
        fail("pandas: %d rows, the file has %d" % (len(frame), len(columns["time_s"])))
    for name in header:
        kind = frame[name].dtype.kind
        if name in TEXT_COLUMNS:
            if kind != "O":
                fail("pandas: %s is %s, not text" % (name, frame[name].dtype))
        elif kind not in "if":
            fail("pandas: %s is %s, not numbers" % (name, frame[name].dtype))
        for i, (got, want) in enumerate(zip(frame[name].tolist(), columns[name])):
            if not same(got if name in TEXT_COLUMNS else float(got), want):
                fail("pandas: %s row %d is %r, the file says %r" % (name, i + 1, got, want))
    # Figures a mechanic would take: the mean speed, the time on the limiter, the marks.
    rpm = [v for v in columns["rpm"]]
    if not same(float(frame["rpm"].mean()), sum(rpm) / len(rpm)):
        fail("pandas: mean rpm %r" % frame["rpm"].mean())
    if int((frame["mark"] > 0).sum()) != sum(1 for m in columns["mark"] if m > 0):
        fail("pandas: marks")
    if frame["advance_deg"].isna().sum() != sum(1 for a in columns["advance_deg"] if math.isnan(a)):
        fail("pandas: empty advances")
    return len(frame)


OFFICE = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"
TABLE = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
TEXT = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"


def calc_rows(fods):
    """The cells of the first sheet of a flat ODF spreadsheet: (type, value) per cell."""
    root = ET.parse(fods).getroot()
    table = root.find(".//{%s}table" % TABLE)
    rows = []
    for row in table.iter("{%s}table-row" % TABLE):
        repeat_rows = int(row.get("{%s}number-rows-repeated" % TABLE, "1"))
        cells = []
        for cell in row:
            if cell.tag not in ("{%s}table-cell" % TABLE, "{%s}covered-table-cell" % TABLE):
                continue
            repeat = int(cell.get("{%s}number-columns-repeated" % TABLE, "1"))
            kind = cell.get("{%s}value-type" % OFFICE)
            if kind == "float":
                value = float(cell.get("{%s}value" % OFFICE))
            else:
                value = "".join("".join(p.itertext()) for p in cell.findall("{%s}p" % TEXT))
            cells.extend([(kind, value)] * min(repeat, 64))
        if any(kind is not None for kind, _ in cells):
            rows.extend([cells] * min(repeat_rows, 1))
    return rows


def check_calc(path, header, columns, soffice):
    with tempfile.TemporaryDirectory() as out:
        profile = "file://" + os.path.join(out, "profile")
        env = dict(os.environ, LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
        run = subprocess.run(
            [soffice, "-env:UserInstallation=" + profile, "--headless", "--convert-to", "fods",
             "--outdir", out, path], capture_output=True, text=True, timeout=800, env=env)
        fods = os.path.join(out, os.path.splitext(os.path.basename(path))[0] + ".fods")
        if run.returncode != 0 or not os.path.exists(fods):
            fail("soffice: %s %s" % (run.stdout, run.stderr))
        rows = calc_rows(fods)
    if [v for _, v in rows[0][: len(header)]] != header:
        fail("Calc: header %s" % [v for _, v in rows[0]])
    body = rows[1:]
    if len(body) != len(columns["time_s"]):
        fail("Calc: %d rows, the file has %d" % (len(body), len(columns["time_s"])))
    for i, cells in enumerate(body):
        for c, name in enumerate(header):
            kind, value = cells[c] if c < len(cells) else (None, "")
            want = columns[name][i]
            if name in TEXT_COLUMNS:
                ok = kind == "string" and value == want
            elif isinstance(want, float) and math.isnan(want):
                ok = kind is None and value == ""
            else:
                ok = kind == "float" and same(value, want)
            if not ok:
                fail("Calc: %s row %d is %s %r, the file says %r" % (name, i + 1, kind, value, want))
    return len(body)


def main():
    args = sys.argv[1:]
    with tempfile.TemporaryDirectory() as scratch:
        if len(args) == 2 and args[0] == "--bench":
            path = os.path.join(scratch, "ride.csv")
            subprocess.run([args[1], "--write", path, str(ROWS)], check=True)
        elif len(args) == 1:
            path = args[0]
        else:
            print(__doc__, file=sys.stderr)
            return 2
        soffice = shutil.which("soffice")
        try:
            import pandas  # noqa: F401
        except ImportError:
            soffice = None
        if not soffice:
            print("recording clients: pandas or soffice missing, not checked", file=sys.stderr)
            return SKIP
        header, columns = expected(path)
        if "mark" not in header or not any(m > 0 for m in columns["mark"]):
            fail("the recording holds no marks to check")
        n = check_pandas(path, header, columns)
        m = check_calc(path, header, columns, soffice)
        print("recording clients: pandas read %d rows, Calc %d rows, %d columns each, "
              "every number as in the file" % (n, m, len(header)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
