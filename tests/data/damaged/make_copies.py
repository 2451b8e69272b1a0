#!/usr/bin/python3
"""Writes the damaged backup copies of tests/data/damaged (see README.md there) from an exhibition
that palomas-cli creates and SQLite's Python module fills, in pages of 1 KB: a small file with
several pages to each table.

    make_copies.py PALOMAS-CLI [FOLDER]
"""
import os
import random
import sqlite3
import subprocess
import sys
import tempfile

PAGE = 1024


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
    pages = [row[0] for row in db.execute(
        "SELECT pageno FROM dbstat WHERE name = 'Puntos' AND pagetype = 'leaf' ORDER BY pageno")]
    db.close()
    with open(path, "rb") as f:
        return bytearray(f.read()), (pages[len(pages) // 2] - 1) * PAGE


def main(cli, folder):
    whole, at = good_exhibition(cli, tempfile.mkdtemp())
    scrambled, zeroed = bytearray(whole), bytearray(whole)
    noise = random.Random(24)
    scrambled[at:at + 48] = bytes(noise.randrange(256) for _ in range(48))  # header and cell pointers
    zeroed[at:at + PAGE] = bytes(PAGE)
    for name, data in (("copia-truncada.mdb", whole[:len(whole) - 2 * PAGE]),
                       ("copia-bytes-al-azar.mdb", scrambled), ("copia-pagina-a-ceros.mdb", zeroed)):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else os.path.dirname(os.path.abspath(__file__)))
