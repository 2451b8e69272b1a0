#!/usr/bin/python3
"""Writes the same census and judge's sheets in every format the imports read, each with the
programs that write it in practice, into the folder given (the tests' data: tests/data/workbooks):

  censo.xls, juez.xls                 python3-xlwt: the reference, read by FreeXL
  censo-openpyxl.xlsx, juez-...       python3-openpyxl: shared strings, absolute part paths
  censo-calc.xlsx, .ods, juez-calc... LibreOffice Calc (soffice --headless --convert-to), from the
                                      sheets with their formulas: relative part paths
  censo-calc.csv, juez-calc.csv       Calc: ";" separated, UTF-8, LF
  censo-calc-1252.csv                 Calc: ";" separated, Windows-1252, then CR LF
  censo-calc-coma.csv                 Calc: "," separated, UTF-8, then a byte order mark
the workbooks that cannot be read (roto.xlsx cut in half, zip-sin-libro.xlsx, sin-contenido.ods,
cifrado.xlsx, sin-hoja1.xlsx, mezcla.csv, nulo.csv, vacio.csv, vacio.xlsx), and the census altered
as other programs and attacks alter it (altered(), below); "--alterados" writes only those.

Run with /usr/bin/python3 (Debian's python3-xlwt, python3-openpyxl, libreoffice-calc-nogui). Cells
in columns I to M of the census and D to H of the judge's sheet are not read by the imports; a date
lies in one of them, to be read without harm.
"""
import datetime
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

import openpyxl
import xlwt

SUMMARY = ("Resumen", [(1, ["Hoja de resumen"])])
# Rows: (row number from 1, cells from column A); None leaves a cell empty; ("=", formula, value)
# a formula with its computed value (the value where the writer keeps no results); a datetime a date.
CENSUS = ("Hoja1", [
    (1, ["Censo de la exposición"]),
    (3, ["Jaula", "Grupo", "Sexo", "Licencia", "Nombre", "Club", "Año", "Anilla",
         None, None, "Fecha", None, None, "Puntos"]),
    (5, [1, "A", "M", 12345, "José Muñoz Peña", "C001", 2021, "0012345", None, None, None, None, None, 88.5]),
    (6, [2, "b", "h", "54321", "Ángel «Niño» Gil", "C002", 2022, 98765, None, None,
         datetime.datetime(2024, 3, 1), None, None, "9,5"]),
    (7, [3, "C", "M", 11111, 'Texto con "comillas"; y punto y coma', "C003", 2020, "0000007",
         None, None, None, None, None, "9.5"]),
    (8, [12, "D", "H", 22222, "Nombre, con coma", "C004", 2019, "1234567", None, None, None, None, None, 90]),
    (9, [45, "A", "H", 33333, "Señora Peñalver € ü", "C005", 2023, "7654321", None, None, None, None, None,
         91.25]),
])
JUDGE = ("Hoja1", [
    (1, ["Puntuación del juez"]),
    (2, ["Juez", 3]),
    (4, ["Jaula", "Grupo", "Sexo", None, None, None, None, None, "Cabez-Ojos-Expr", "Osamen-Quilla-Horqui",
         "Espald-Rabadilla-Ucola", "Equilib-Muscul", "Ala-Pluma", "Total"]),
    (5, [7, "A", "M", None, None, None, None, None, 8.5, 9, 18, 28, 28.5, ("=", "SUM(I5:M5)", 92)]),
    (6, [8, "b", "h", None, None, None, None, None, "SP", 9, 18, 28, 28, 83]),
    (7, [9, "C", "M", None, None, None, None, None, "8,5", "9", 17.5, 27, 27.5, 89.5]),
    (8, [10, "A", "H", None, None, None, None, None, 8, 8, 0, 9, 9, 34]),
])


def cells(sheets, formulas=False):
    """Each sheet's name and its (row, column, value) from 0, formulas as "=..." or their values."""
    for name, rows in sheets:
        yield name, [(row - 1, column, (("=" + value[1]) if formulas else value[2]) if isinstance(value, tuple)
                      else value) for row, values in rows for column, value in enumerate(values) if value is not None]


def write_xlwt(path, sheets):
    book, dates = xlwt.Workbook(encoding="utf-8"), xlwt.easyxf(num_format_str="YYYY-MM-DD")
    for name, values in cells(sheets):
        sheet = book.add_sheet(name)
        for row, column, value in values:
            sheet.write(row, column, value, *([dates] if isinstance(value, datetime.datetime) else []))
    book.save(path)


def write_openpyxl(path, sheets, formulas=False):
    book = openpyxl.Workbook()
    book.remove(book.active)
    for name, values in cells(sheets, formulas):
        sheet = book.create_sheet(name)
        for row, column, value in values:
            cell = sheet.cell(row=row + 1, column=column + 1, value=value)
            cell.number_format = "yyyy-mm-dd" if isinstance(value, datetime.datetime) else cell.number_format
    book.save(path)


def calc(source, target, filter_spec):
    """soffice --convert-to in a profile of its own, so that a running Calc is left alone."""
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(["soffice", "-env:UserInstallation=file://" + work + "/profile", "--headless",
                        "--convert-to", filter_spec, "--outdir", work, source],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.move(os.path.join(work, [f for f in os.listdir(work) if f != "profile"][0]), target)


def encrypted_package(path):
    """An .xlsx saved with a password as Office stores it: not a ZIP package but a compound file
    (the container of .xls workbooks) whose stream "EncryptedPackage" holds the encrypted package.
    No Debian tool writes one, so it is written here: a header, one sector of the allocation table,
    one of directory, and the stream in eight 512-byte sectors."""
    end, free = 0xFFFFFFFE, 0xFFFFFFFF
    header = b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(16) + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6)
    header += bytes(6) + struct.pack("<9I", 0, 1, 1, 0, 4096, end, 0, end, 0) + struct.pack("<I", 0)
    fat = [0xFFFFFFFD, end, 3, 4, 5, 6, 7, 8, 9, end] + [free] * 118

    def entry(name, kind, child, start, size):
        units = name.encode("utf-16-le") + b"\0\0"
        return (units.ljust(64, b"\0") + struct.pack("<HBBIII", len(units), kind, 1, free, free, child) +
                bytes(36) + struct.pack("<III", start, size, 0))
    directory = (entry("Root Entry", 5, 1, end, 0) + entry("EncryptedPackage", 2, free, 2, 4096)).ljust(512, b"\0")
    with open(path, "wb") as f:
        f.write(header + struct.pack("<I", free) * 108 + struct.pack("<128I", *fat) + directory +
                bytes(range(256)) * 16)


def main(folder):
    out = lambda name: os.path.join(folder, name)
    os.makedirs(folder, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        for stem, sheet in (("censo", CENSUS), ("juez", JUDGE)):
            write_xlwt(out(stem + ".xls"), [SUMMARY, sheet])
            write_openpyxl(out(stem + "-openpyxl.xlsx"), [SUMMARY, sheet])
            source = os.path.join(work, stem + ".xlsx")
            write_openpyxl(source, [SUMMARY, sheet], formulas=True)
            calc(source, out(stem + "-calc.xlsx"), "xlsx:Calc MS Excel 2007 XML")
            calc(source, out(stem + "-calc.ods"), "ods:calc8")
            # The csv filter writes the sheet it is told (the second, "Hoja1"): 59 is ";", 44 ",",
            # 34 the quote, 76 UTF-8 and 1 Windows-1252; 1 starts at row 1; the last 2 is the sheet.
            for name, options in (("-calc.csv", "59,34,76"), ("-calc-1252.csv", "59,34,1"), ("-calc-coma.csv", "44,34,76")):
                if stem == "censo" or name == "-calc.csv":
                    calc(source, out(stem + name), "csv:Text - txt - csv (StarCalc):%s,1,,0,false,true,false,false,false,2" % options)
    for name, change in (("censo-calc-1252.csv", lambda text: text.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")),
                         ("censo-calc-coma.csv", lambda text: b"\xef\xbb\xbf" + text.lstrip(b"\xef\xbb\xbf"))):
        with open(out(name), "rb") as f:
            text = change(f.read())
        with open(out(name), "wb") as f:
            f.write(text)

    # The workbooks that cannot be read.
    with open(out("censo-openpyxl.xlsx"), "rb") as f:
        whole = f.read()
    with open(out("roto.xlsx"), "wb") as f:
        f.write(whole[:len(whole) // 2])
    with zipfile.ZipFile(out("zip-sin-libro.xlsx"), "w") as z:
        z.writestr("leeme.txt", "Esto no es un libro.")
    with zipfile.ZipFile(out("sin-contenido.ods"), "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr("META-INF/manifest.xml", '<?xml version="1.0" encoding="UTF-8"?>\n'
                   '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"/>')
    write_openpyxl(out("sin-hoja1.xlsx"), [("Censo", CENSUS[1])])
    encrypted_package(out("cifrado.xlsx"))
    for name, data in (("mezcla.csv", "Censo;;;\n;;;\nJaula;Grupo;Sexo;Licencia\n1;A;M;12345\n2,B,H,54321\n".encode()),
                       ("nulo.csv", b"Censo;;\n;;\n;;\n;;\n1;A\x00;M\n"), ("vacio.csv", b""), ("vacio.xlsx", b"")):
        with open(out(name), "wb") as f:
            f.write(data)
    altered(out)


def rezip(source, target, changed, compressed=()):
    """The package source with the parts in changed replaced, and the parts in compressed packed."""
    with zipfile.ZipFile(source) as z:
        parts = [(i, z.read(i.filename)) for i in z.infolist()]
    with zipfile.ZipFile(target, "w") as z:
        for info, data in parts:
            info.compress_type = zipfile.ZIP_DEFLATED if info.filename in compressed else info.compress_type
            z.writestr(info, changed.get(info.filename, data))


def altered(out):
    """The census in the forms other programs and attacks give it: read as the .xls
    (censo-escapes.xlsx with Office's _xHHHH_ escapes, censo-mimetype-comprimido.ods with its first
    entry packed, censo-retornos.csv with CR alone as line ends, as Excel for Mac saves), one read
    with a row refused (censo-un-byte-malo.csv: UTF-8 with one byte that is not), and damaged ones:
    hoja-fuera.xlsx (its sheet outside the package), celda-de-otra-fila.xlsx (a cell of row 6 that
    names row 4) and entidad-externa.xlsx (a text from an external entity)."""
    xlsx, sheet = out("censo-openpyxl.xlsx"), "xl/worksheets/sheet2.xml"
    with zipfile.ZipFile(xlsx) as z:
        cells, rels = z.read(sheet).decode(), z.read("xl/_rels/workbook.xml.rels").decode()
    escaped = cells.replace("<t>M</t>", "<t>_x004D_</t>").replace("Jos&#233;", "Jos_x00E9_")
    rezip(xlsx, out("censo-escapes.xlsx"), {sheet: escaped.encode()})
    rezip(out("censo-calc.ods"), out("censo-mimetype-comprimido.ods"), {}, compressed=("mimetype",))
    with open(out("censo-calc.csv"), "rb") as f:
        csv = f.read()
    for name, data in (("censo-retornos.csv", csv.replace(b"\r\n", b"\n").replace(b"\n", b"\r")),
                       ("censo-un-byte-malo.csv", csv.replace("Señora".encode(), b"Se\xf1ora"))):
        with open(out(name), "wb") as f:
            f.write(data)
    rezip(xlsx, out("hoja-fuera.xlsx"),
          {"xl/_rels/workbook.xml.rels": rels.replace("/xl/worksheets/sheet2.xml", "../../hojas/sheet2.xml").encode()})
    rezip(xlsx, out("celda-de-otra-fila.xlsx"), {sheet: cells.replace('<c r="A6"', '<c r="A4"').encode()})
    entity = ('<?xml version="1.0"?>\n<!DOCTYPE worksheet [<!ENTITY nombre SYSTEM "file:///etc/hostname">]>\n'
              + cells.replace("Jos&#233; Mu&#241;oz Pe&#241;a", "&nombre;"))
    rezip(xlsx, out("entidad-externa.xlsx"), {sheet: entity.encode()})


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    if "--alterados" in sys.argv[2:]:
        altered(lambda name: os.path.join(target, name))
    else:
        main(target)
