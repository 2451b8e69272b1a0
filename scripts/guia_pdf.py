#!/usr/bin/python3
"""Builds the organisers' guide (docs/guia/*.md, in the order of their names, with the
screenshots of docs/guia/capturas/) into one PDF, with python3-markdown and weasyprint; or, with
--html, into one HTML page per chapter, which F1 opens at the window's chapter.

    scripts/guia_pdf.py docs/guia SALIDA.pdf
    scripts/guia_pdf.py --html docs/guia CARPETA
"""
import pathlib
import re
import shutil
import sys

import markdown

TITLE = "Guía de la Exposición de Palomas"
EXTENSIONS = ["tables", "toc", "attr_list", "sane_lists"]


def page(title, body, style=""):
    return ("<!DOCTYPE html><html lang='es'><head><meta charset='utf-8'>"
            f"<title>{title}</title>{style}</head><body>{body}</body></html>")


def heading_ids(tokens):
    for token in tokens:
        yield token["id"]
        yield from heading_ids(token["children"])


def write_pdf(chapters, folder, out):
    from weasyprint import CSS, HTML
    body = "\n\n".join(p.read_text(encoding="utf-8") for p in chapters)
    html = markdown.markdown(body, extensions=EXTENSIONS, output_format="html5")
    style = CSS(filename=str(folder / "guia.css"))
    HTML(string=page(TITLE, html), base_url=str(folder) + "/").write_pdf(out, stylesheets=[style])


def write_html(chapters, folder, out):
    """One page per chapter; a link to a heading of another chapter goes to that chapter's page."""
    out.mkdir(parents=True, exist_ok=True)
    converter = markdown.Markdown(extensions=EXTENSIONS, output_format="html5")
    pages, owner = [], {}
    for chapter in chapters:
        converter.reset()
        html = converter.convert(chapter.read_text(encoding="utf-8"))
        first = converter.toc_tokens[0]["name"] if converter.toc_tokens else chapter.stem
        for anchor in heading_ids(converter.toc_tokens):
            owner.setdefault(anchor, chapter.stem)
        pages.append((chapter.stem, first, html))
    for i, (stem, title, html) in enumerate(pages):
        html = re.sub(r'href="#([^"]+)"',
                      lambda m: f'href="{owner[m.group(1)]}.html#{m.group(1)}"'
                      if owner.get(m.group(1), stem) != stem else m.group(0), html)
        links = [f'<a href="{pages[0][0]}.html">Índice</a>']
        if i > 0:
            links.append(f'<a href="{pages[i - 1][0]}.html">Anterior: {pages[i - 1][1]}</a>')
        if i + 1 < len(pages):
            links.append(f'<a href="{pages[i + 1][0]}.html">Siguiente: {pages[i + 1][1]}</a>')
        nav = "<nav>" + " · ".join(links) + "</nav>"
        style = "<link rel='stylesheet' href='guia.css'>"
        (out / f"{stem}.html").write_text(page(f"{title} — {TITLE}", nav + html + nav, style),
                                          encoding="utf-8")
    shutil.copy(folder / "guia.css", out / "guia.css")
    shutil.copytree(folder / "capturas", out / "capturas", dirs_exist_ok=True)


def main() -> int:
    args = sys.argv[1:]
    html = args[:1] == ["--html"]
    if html:
        args = args[1:]
    if len(args) != 2:
        print("Uso: guia_pdf.py [--html] CARPETA_DE_LA_GUIA SALIDA", file=sys.stderr)
        return 2
    folder = pathlib.Path(args[0]).resolve()
    chapters = sorted(p for p in folder.glob("*.md") if p.name != "README.md")
    if not chapters:
        print(f"No hay capítulos en {folder}", file=sys.stderr)
        return 1
    if html:
        write_html(chapters, folder, pathlib.Path(args[1]))
    else:
        write_pdf(chapters, folder, args[1])
    return 0


if __name__ == "__main__":
    sys.exit(main())
