#!/usr/bin/python3
"""Writes the .xls workbooks that the import tests, benchmarks and trials read.

  make_workbook.py spec OUT.xls SPEC.json
      SPEC.json: {"sheets": [{"name": "Hoja1", "rows": [[5, ["12", "b", 2021, 9.5, null]], ...]}]}
      Rows and columns count from 1 as the spreadsheet numbers them; each row lists its cells
      from column A; null leaves a cell empty. JSON integers are written as whole numbers,
      JSON decimals as doubles, strings as text.
  make_workbook.py reception OUT.xls ROWS [--with-errors]
  make_workbook.py scores OUT.xls ROWS JUEZ [--with-errors]
      A census or a judge's sheet of ROWS birds in cages 1 to 999 (several birds per cage when
      ROWS passes 999). --with-errors makes one row in a hundred hold a value the exhibition
      cannot hold.

Needs Debian's python3-xlwt; run with /usr/bin/python3.
"""
import json
import random
import sys

import xlwt

MAX_ROWS = 65536  # what one .xls (BIFF8) sheet holds


def headings(sheet, title):
    sheet.write(0, 0, title)
    sheet.write(2, 0, "Jaula")


def from_spec(out, spec_path):
    with open(spec_path, encoding="utf-8") as f:
        spec = json.load(f)
    book = xlwt.Workbook(encoding="utf-8")
    for sheet_spec in spec["sheets"]:
        sheet = book.add_sheet(sheet_spec["name"], cell_overwrite_ok=True)
        for row, values in sheet_spec.get("rows", []):
            for column, value in enumerate(values):
                if value is not None:
                    sheet.write(row - 1, column, value)
    book.save(out)


def reception(out, rows, with_errors):
    rng = random.Random(7)
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Hoja1")
    headings(sheet, "Censo de la exposicion")
    for i in range(rows):
        r = 4 + i
        cage = i % 999 + 1
        group = "D" if i % 10 == 9 else "ABC"[i % 3]
        values = [cage, group, "MH"[i // 3 % 2], 10000 + i % 90000, "Propietario %d" % (i % 700),
                  "C%03d" % (i % 60), 2019 + i % 5, "%07d" % (i + 1)]
        if with_errors and i % 100 == 50:
            values[0] = ["abc", 1000, "12,5"][i // 100 % 3]
        if with_errors and i % 100 == 75:
            values[7] = "R%08d" % i
        row = sheet.row(r)
        for column, value in enumerate(values):
            row.write(column, value)
        row.write(13, round(rng.uniform(85, 95), 2))
        if i % 1000 == 999:
            sheet.flush_row_data()
    book.save(out)


def scores(out, rows, judge, with_errors):
    rng = random.Random(int(judge) if str(judge).isdigit() else 1)
    ranges = [(8, 9), (8, 9), (17, 19), (27, 29), (27, 29)]
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Hoja1")
    headings(sheet, "Puntuacion del juez")
    sheet.write(1, 0, "Juez")
    sheet.write(1, 1, int(judge) if str(judge).isdigit() else judge)
    for i in range(rows):
        r = 4 + i
        criteria = [rng.randint(low * 2, high * 2) / 2 for low, high in ranges]
        values = [i % 999 + 1, "ABC"[i % 3], "MH"[i // 3 % 2]] + [None] * 5 + criteria + [sum(criteria)]
        if with_errors and i % 100 == 50:
            values[8 + i // 100 % 5] = ["abc", None][i // 100 % 2]
        if with_errors and i % 100 == 75:
            values[8 + i // 100 % 5] = "SP"
        row = sheet.row(r)
        for column, value in enumerate(values):
            if value is not None:
                row.write(column, value)
        if i % 1000 == 999:
            sheet.flush_row_data()
    book.save(out)


def main(argv):
    if len(argv) >= 3 and argv[0] == "spec":
        from_spec(argv[1], argv[2])
    elif len(argv) >= 3 and argv[0] in ("reception", "scores"):
        rows = int(argv[2])
        if rows < 1 or rows + 4 > MAX_ROWS:
            sys.exit("An .xls sheet holds at most %d rows of data" % (MAX_ROWS - 4))
        if argv[0] == "reception":
            reception(argv[1], rows, "--with-errors" in argv)
        else:
            scores(argv[1], rows, argv[3] if len(argv) > 3 else "1", "--with-errors" in argv)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
