#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers, lowest first, are the folders under src/ (docs/architecture.md draws them). A file
may include the program's headers of its own layer and of the layers below, only the Qt modules
its layer links (the rules never paint, the output never opens a widget, palomas-cli links no
widgets) and only the libraries its layer owns (SQLite in the store, GNU libmicrohttpd in the
server, FreeXL and QuaZip in the reader, libxlsxwriter and libqrencode in the output). Besides:
no two units (x.h and x.cpp) include each other, every layer a file includes is one its CMake
target links, and no test links the windows for nothing. Run by CTest (check_layers) and so by
CI; prints one line per fault.

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
# The libraries each layer owns: their headers appear nowhere else.
OWNED = {
    "sqlite3.h": {"store"}, "microhttpd.h": {"server"}, "freexl.h": {"lector"},
    "quazip/": {"lector"}, "xlsxwriter.h": {"output"}, "qrencode.h": {"output"},
}
# The CMake target of each layer, as its folder's CMakeLists.txt declares it.
TARGETS = {"base": "palomas_base", "store": "palomas_store", "rules": "palomas_rules",
           "output": "palomas_output", "server": "palomas_server", "kit": "palomas_kit",
           "windows": "palomas_windows", "app": "palomas", "cli": "palomas-cli",
           "lector": "palomas_lector_core"}
# Headers that need no library: the reader's answer protocol and its UTF-8 checks, shared with
# the imports.
HEADER_ONLY = {"lector/protocol.h", "lector/utf8.h"}
LINK = re.compile(r'target_link_libraries\(\s*([\w-]+)([^)]*)\)', re.S)


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
                    elif kind == "<":
                        faults += check_owned(where, layer, header)
    return faults + check_units(src) + check_links(src)


def check_owned(relative, layer, header):
    for name, owners in OWNED.items():
        if (header == name or header.startswith(name)) and layer not in owners:
            return [f"{relative}: incluye <{header}>, que solo usa la capa {', '.join(sorted(owners))}"]
    return []


def own_includes(path):
    with open(path, encoding="utf-8") as text:
        return {header for kind, header in INCLUDE.findall(text.read()) if kind == '"'}


def check_units(src):
    """No two units include each other: a unit is a header and its source file."""
    includes = {}
    for folder, _, names in os.walk(src):
        for name in names:
            if name.endswith((".h", ".cpp")):
                unit = os.path.relpath(os.path.join(folder, name), src).rsplit(".", 1)[0]
                includes.setdefault(unit, set()).update(
                    h.rsplit(".", 1)[0] for h in own_includes(os.path.join(folder, name)))
    faults = []
    for unit, used in sorted(includes.items()):
        for other in sorted(used):
            if other != unit and other in includes and unit in includes[other] and unit < other:
                faults.append(f"{unit} y {other} se incluyen el uno al otro")
    return faults


def linked(src):
    """The program's targets each target links, read from the folders' CMakeLists.txt."""
    links = {}
    for folder, _, names in os.walk(src):
        if "CMakeLists.txt" in names:
            with open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8") as text:
                for target, rest in LINK.findall(text.read()):
                    links.setdefault(target, set()).update(
                        w for w in rest.split() if w.startswith("palomas"))
    return links


def reaches(links, target, wanted, seen=None):
    seen = seen or set()
    for other in links.get(target, ()):
        if other == wanted or (other not in seen and reaches(links, other, wanted, seen | {other})):
            return True
    return False


def check_links(src):
    """Every layer a file includes is linked by the file's target, directly or through another."""
    links = linked(src)
    faults = set()
    for folder, _, names in os.walk(src):
        for name in names:
            if not name.endswith((".h", ".cpp")):
                continue
            layer = layer_of(os.path.relpath(os.path.join(folder, name), src))
            for header in own_includes(os.path.join(folder, name)):
                target = layer_of(header)
                if header not in HEADER_ONLY and target in TARGETS and layer in TARGETS and target != layer and \
                        not reaches(links, TARGETS[layer], TARGETS[target]):
                    faults.add(f"la capa {layer} incluye la capa {target}, pero {TARGETS[layer]} no enlaza "
                               f"{TARGETS[target]}")
    return sorted(faults)


def check_tests(root):
    """A test that links the windows (palomas_test(... GUI ...)) includes a window or the kit."""
    faults = []
    tests = os.path.join(root, "tests")
    declaration = re.compile(r'palomas_test\(\s*(\w+)\s+GUI\s+SOURCES\s+([^)]*)\)', re.S)
    for folder, _, names in os.walk(tests):
        if "CMakeLists.txt" not in names:
            continue
        with open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8") as text:
            for name, sources in declaration.findall(text.read()):
                files = [os.path.join(folder, f) for f in sources.split() if f.endswith((".cpp", ".h"))]
                used = set()
                for path in files:
                    if os.path.exists(path):
                        used |= own_includes(path)
                if not any(h.startswith(("windows/", "kit/", "support/gui_test", "support/window"))
                           for h in used):
                    faults.append(f"tests: {name} enlaza las ventanas y no usa ninguna")
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
    faults = check(root, qt_dir) + check_tests(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} faltas en las capas")
        return 1
    print("Capas en orden")
    return 0


if __name__ == "__main__":
    sys.exit(main())
