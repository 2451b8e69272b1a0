#!/usr/bin/python3
"""Writes the damaged backup copies of an exhibition into the folder given (the tests' data:
tests/data/damaged), from an exhibition that palomas-cli creates and SQLite's own Python module
fills:

  copia-truncada.mdb        the copy cut short, as a full disk leaves it: SQLite refuses it at once
  copia-bytes-al-azar.mdb   random bytes over the page header and cell pointers of a page of Puntos
  copia-pagina-a-ceros.mdb  a page of Puntos filled with zeros

The last two keep a sound file header and open, and counting the rows of their tables (through
their indexes) still succeeds, which is how such copies used to be restored: only SQLite's
integrity check finds them damaged.

    make_copies.py PALOMAS-CLI [FOLDER]
"""
import os
import random
import shutil
import sqlite3
import subprocess
import sys
import tempfile

PAGE = 1024  # small pages: a small file with several pages to each table


def good_exhibition(cli, folder):
    subprocess.run([cli, "crear", folder, "Expo"], check=True, stdout=subprocess.DEVNULL)
    path = os.path.join(folder, "Expo.mdb")
    db = sqlite3.connect(path, isolation_level=None)
    db.execute("PRAGMA page_size = %d" % PAGE)
    db.execute("VACUUM")
    db.execute("BEGIN")
    db.execute("INSERT INTO Config (Nombre, Jueces, Region) VALUES ('Regional', 3, 'Castilla')")
    for cage in range(1, 41):
        db.execute("INSERT INTO Recepcion (jaula, anilla, sexo, nombre, grupo, categ, puntos, termina) "
                   "VALUES (?, ?, 'M', ?, 'A', ' ', 0, 'N')", (cage, "%07d" % (cage * 7919), "Socio %d" % cage))
        for judge in range(1, 4):
            db.execute("INSERT INTO Puntos (jaula, puntos1, puntos2, puntos3, puntos4, puntos5, juez, puntost, "
                       "sexo, grupo) VALUES (?, 8.5, 8.5, 18, 28, 28, ?, 91, 'M', 'A')", (str(cage), judge))
    db.execute("COMMIT")
    db.close()
    return path


def leaf_page_of(path, table):
    db = sqlite3.connect(path)
    pages = [row[0] for row in db.execute(
        "SELECT pageno FROM dbstat WHERE name = ? AND pagetype = 'leaf' ORDER BY pageno", (table,))]
    db.close()
    return pages[len(pages) // 2]


def main(cli, folder):
    os.makedirs(folder, exist_ok=True)
    work = tempfile.mkdtemp()
    try:
        good = good_exhibition(cli, work)
        with open(good, "rb") as f:
            whole = bytearray(f.read())
        page = leaf_page_of(good, "Puntos")
        at = (page - 1) * PAGE

        with open(os.path.join(folder, "copia-truncada.mdb"), "wb") as f:
            f.write(whole[:len(whole) - 2 * PAGE])

        scrambled = bytearray(whole)
        noise = random.Random(24)
        for i in range(at, at + 48):
            scrambled[i] = noise.randrange(256)
        with open(os.path.join(folder, "copia-bytes-al-azar.mdb"), "wb") as f:
            f.write(scrambled)

        zeroed = bytearray(whole)
        zeroed[at:at + PAGE] = bytes(PAGE)
        with open(os.path.join(folder, "copia-pagina-a-ceros.mdb"), "wb") as f:
            f.write(zeroed)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else os.path.dirname(os.path.abspath(__file__)))
