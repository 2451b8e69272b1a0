#!/usr/bin/python3
"""Writes .xls workbooks with Debian's python3-xlwt; run it with /usr/bin/python3.

sheets OUT.xls < [["Hoja1", [[5, [12, "b", 9.5, null]], ...]], ...]: each sheet's name and rows,
    a row being its number and its cells from column A (null leaves a cell empty, {"n": "inf"}
    writes the number float("inf"), which JSON cannot carry).
reception|scores OUT.xls ROWS [JUEZ]: a census or a judge's sheet of ROWS birds in cages 1 to 999.
dimensions OUT.xls ROWS COLUMNS: a sheet "Hoja1" whose dimensions record declares ROWS rows and
    COLUMNS columns, whatever its cells: a damaged workbook.
"""
import json
import random
import sys

import xlwt

CRITERIA = [(8, 9), (8, 9), (17, 19), (27, 29), (27, 29)]  # the range of each judge's criterion


def save(out, sheets):
    book = xlwt.Workbook(encoding="utf-8")
    for name, rows in sheets:
        sheet = book.add_sheet(name, cell_overwrite_ok=True)
        for row, values in rows:
            for column, value in enumerate(values):
                if isinstance(value, dict):
                    value = float(value["n"])
                if value is not None:
                    sheet.write(row - 1, column, value)
    book.save(out)


def declare_dimensions(out, rows, columns):
    """Rewrites the sheet's DIMENSIONS record (0x0200, 14 bytes: first row, last row + 1, first
    column, last column + 1) in place; xlwt writes the stream in order, so the record is found
    by its header."""
    save(out, [["Hoja1", [[5, [12, "A"]]]]])
    with open(out, "r+b") as f:
        data = f.read()
        at = data.index(b"\x00\x02\x0e\x00") + 4
        f.seek(at + 4)
        f.write(rows.to_bytes(4, "little"))
        f.seek(at + 10)
        f.write(columns.to_bytes(2, "little"))


def census_row(i, rng):
    values = [i % 999 + 1, "D" if i % 10 == 9 else "ABC"[i % 3], "MH"[i // 3 % 2], 10000 + i % 90000,
              "Propietario %d" % (i % 700), "C%03d" % (i % 60), 2019 + i % 5, "%07d" % (i + 1)]
    return values + [None] * 5 + [round(rng.uniform(85, 95), 2)]


def judge_row(i, rng):
    criteria = [rng.randint(low * 2, high * 2) / 2 for low, high in CRITERIA]
    return [i % 999 + 1, "ABC"[i % 3], "MH"[i // 3 % 2]] + [None] * 5 + criteria + [sum(criteria)]


def main(kind, out, *args):
    if kind == "sheets":
        return save(out, json.load(sys.stdin))
    if kind == "dimensions":
        return declare_dimensions(out, int(args[0]), int(args[1]))
    rows, judge = int(args[0]), args[1] if len(args) > 1 and args[1].isdigit() else "1"
    if kind not in ("reception", "scores") or not 0 < rows <= 65536 - 4:
        sys.exit(__doc__)
    rng = random.Random(7 if kind == "reception" else int(judge))
    head = [[1, ["Censo de la exposicion" if kind == "reception" else "Puntuacion del juez"]], [3, ["Jaula"]]]
    head += [[2, ["Juez", int(judge)]]] if kind == "scores" else []
    make = census_row if kind == "reception" else judge_row
    save(out, [["Hoja1", head + [[5 + i, make(i, rng)] for i in range(rows)]]])


if __name__ == "__main__":
    main(*sys.argv[1:]) if len(sys.argv) > 2 else sys.exit(__doc__)
