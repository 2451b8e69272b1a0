#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers, lowest first, are the folders under src/ (docs/architecture.md draws them). A file
may include the program's headers of its own layer and of the layers below, and only the Qt
modules its layer links: the rules never paint, the output never opens a widget, palomas-cli
links no widgets. Run by CTest (check_layers) and so by CI; prints one line per wrong include.

    scripts/check_layers.py [SOURCE_ROOT] [QT_INCLUDE_DIR]
"""
import os
import re
import sys

# Rank of each top folder of src/. The reader's process (lector) shares only its answer protocol,
# header-only, with the imports, so it sits with the base.
RANKS = {"base": 0, "lector": 0, "store": 1, "rules": 2, "output": 3, "server": 4,
         "kit": 5, "windows": 6, "app": 7, "cli": 7}
# Folders that may not include some layers below their rank.
FORBIDDEN = {"cli": {"kit", "windows"}, "server": set(), "kit": {"server"}}
# The Qt modules each layer may include.
CORE = {"QtCore"}
QT_MODULES = {
    # The reader reads .xlsx and .ods with QuaZip and Qt Core's XML stream reader.
    "base": CORE, "store": CORE, "rules": CORE, "lector": CORE,
    "output": CORE | {"QtGui"},
    "server": CORE | {"QtGui", "QtNetwork"},
    "cli": CORE | {"QtGui", "QtNetwork"},
    "kit": None, "windows": None, "app": None,  # None: any
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def qt_header_modules(qt_dir):
    """Maps a Qt header name (QWidget, qstring.h) to its module (QtWidgets)."""
    modules = {}
    if not os.path.isdir(qt_dir):
        return modules
    for module in os.listdir(qt_dir):
        path = os.path.join(qt_dir, module)
        if module.startswith("Qt") and os.path.isdir(path):
            for name in os.listdir(path):
                modules.setdefault(name, module)
                modules.setdefault(module + "/" + name, module)
    return modules


def layer_of(relative):
    return relative.split("/", 1)[0]


def check(root, qt_dir):
    src = os.path.join(root, "src")
    qt = qt_header_modules(qt_dir)
    faults = []
    for folder, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, src)
            layer = layer_of(relative)
            if layer not in RANKS:
                faults.append(f"{relative}: la carpeta src/{layer} no tiene capa")
                continue
            with open(path, encoding="utf-8") as text:
                for match in INCLUDE.finditer(text.read()):
                    kind, header = match.groups()
                    where = f"{relative}:{text_line(match)}"
                    if kind == '"' and not header.startswith("ui_"):
                        faults += check_own(where, layer, header)
                    elif kind == "<" and header in qt:
                        faults += check_qt(where, layer, header, qt[header])
    return faults


def text_line(match):
    return match.string.count("\n", 0, match.start()) + 1


def check_own(relative, layer, header):
    target = layer_of(header)
    if target not in RANKS:
        return [f"{relative}: incluye {header}, fuera de las capas"]
    if RANKS[target] > RANKS[layer] or target in FORBIDDEN.get(layer, set()):
        return [f"{relative}: incluye {header}, de la capa {target}, por encima de {layer}"]
    return []


def check_qt(relative, layer, header, module):
    allowed = QT_MODULES[layer]
    if allowed is not None and module not in allowed:
        return [f"{relative}: incluye <{header}> de {module}, que la capa {layer} no enlaza"]
    return []


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    qt_dir = sys.argv[2] if len(sys.argv) > 2 else "/usr/include/x86_64-linux-gnu/qt6"
    faults = check(root, qt_dir)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} inclusiones fuera de su capa")
        return 1
    print("Capas en orden")
    return 0


if __name__ == "__main__":
    sys.exit(main())
