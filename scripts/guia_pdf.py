#!/usr/bin/python3
"""Builds the organisers' guide (docs/guia/*.md, in the order of their names, with the
screenshots of docs/guia/capturas/) into one PDF, with python3-markdown and weasyprint.

    scripts/guia_pdf.py docs/guia SALIDA.pdf
"""
import pathlib
import sys

import markdown
from weasyprint import CSS, HTML


def main() -> int:
    if len(sys.argv) != 3:
        print("Uso: guia_pdf.py CARPETA_DE_LA_GUIA SALIDA.pdf", file=sys.stderr)
        return 2
    folder = pathlib.Path(sys.argv[1]).resolve()
    chapters = sorted(p for p in folder.glob("*.md") if p.name != "README.md")
    if not chapters:
        print(f"No hay capítulos en {folder}", file=sys.stderr)
        return 1
    body = "\n\n".join(p.read_text(encoding="utf-8") for p in chapters)
    html = markdown.markdown(body, extensions=["tables", "toc", "attr_list", "sane_lists"],
                             output_format="html5")
    page = ("<!DOCTYPE html><html lang='es'><head><meta charset='utf-8'>"
            "<title>Guía de la Exposición de Palomas</title></head>"
            f"<body>{html}</body></html>")
    style = CSS(filename=str(folder / "guia.css"))
    HTML(string=page, base_url=str(folder) + "/").write_pdf(sys.argv[2], stylesheets=[style])
    return 0


if __name__ == "__main__":
    sys.exit(main())
