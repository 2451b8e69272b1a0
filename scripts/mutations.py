#!/usr/bin/env python3
"""Breaks the program on purpose, one fault at a time, and tells which test catches each.

Each breakage (scripts/mutations.txt) names a source file, a text of it and what the text
becomes, the test that must catch it and, optionally, the test function. The breakages are applied
to a copy of the committed tree (a git worktree in build-mutations/arbol), one at a time, building
only the test's executable there (ccache is used when present); the file is restored after each.

    scripts/mutations.py [NAME...]      every breakage, or those named
    scripts/mutations.py --list

Prints "cazada" or "NO CAZADA" for each, and exits 1 when one is missed or no longer applies.
"""
import os
import shutil
import subprocess
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(TOP, "build-mutations")
TREE = os.path.join(WORK, "arbol")
BUILD = os.path.join(WORK, "build")


def read_mutations(path):
    """Blocks separated by lines of '---': 'name:', 'file:', 'test:', optional 'function:', then
    the lines between '<<<' and '===' are replaced by those between '===' and '>>>'."""
    mutations, block = [], []
    with open(path, encoding="utf-8") as text:
        for line in text.read().split("\n"):
            if line.strip() == "---":
                if block:
                    mutations.append(parse(block))
                block = []
            else:
                block.append(line)
    if any(line.strip() for line in block):
        mutations.append(parse(block))
    return [m for m in mutations if "name" in m]


def parse(lines):
    fields, old, new, part = {}, [], [], None
    for line in lines:
        if line == "<<<":
            part = old
        elif line == "===":
            part = new
        elif line == ">>>":
            part = None
        elif part is not None:
            part.append(line)
        elif line.startswith("#") or not line.strip():
            continue
        else:
            key, _, value = line.partition(":")
            fields[key.strip()] = value.strip()
    fields["old"], fields["new"] = "\n".join(old), "\n".join(new)
    return fields


def run(command, **options):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **options)


def prepare():
    os.makedirs(WORK, exist_ok=True)
    if os.path.isdir(TREE):
        run(["git", "-C", TOP, "worktree", "remove", "--force", TREE])
        shutil.rmtree(TREE, ignore_errors=True)
    run(["git", "-C", TOP, "worktree", "prune"])
    made = run(["git", "-C", TOP, "worktree", "add", "--detach", TREE, "HEAD"])
    if made.returncode != 0:
        sys.exit(made.stdout)
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    configured = run(["cmake", "-S", TREE, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release"] + launcher)
    if configured.returncode != 0:
        sys.exit(configured.stdout)


def attempt(mutation):
    path = os.path.join(TREE, mutation["file"])
    with open(path, encoding="utf-8") as text:
        original = text.read()
    if original.count(mutation["old"]) != 1:
        return "YA NO SE APLICA (el texto no está una vez en " + mutation["file"] + ")"
    with open(path, "w", encoding="utf-8") as text:
        text.write(original.replace(mutation["old"], mutation["new"]))
    try:
        test = mutation["test"]
        built = run(["cmake", "--build", BUILD, "-j", str(os.cpu_count() or 2), "--target", test])
        if built.returncode != 0:
            return "NO COMPILA (la rotura está mal escrita)"
        command = [os.path.join(BUILD, "bin", test)]
        if mutation.get("function"):
            command.append(mutation["function"])
        environment = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                           PALOMAS_TEST_DATA=os.path.join(TREE, "tests", "data"))
        try:
            tested = run(command, env=environment, timeout=600)
        except subprocess.TimeoutExpired:
            return "cazada (se cuelga)"
        return "cazada" if tested.returncode != 0 else "NO CAZADA"
    finally:
        with open(path, "w", encoding="utf-8") as text:
            text.write(original)


def main():
    mutations = read_mutations(os.path.join(TOP, "scripts", "mutations.txt"))
    if "--list" in sys.argv:
        for mutation in mutations:
            print(f"{mutation['name']}: {mutation['test']} {mutation.get('function', '')}")
        return 0
    chosen = [m for m in mutations if len(sys.argv) < 2 or m["name"] in sys.argv[1:]]
    prepare()
    missed = 0
    for mutation in chosen:
        verdict = attempt(mutation)
        missed += 0 if verdict.startswith("cazada") else 1
        print(f"{mutation['name']}: {verdict} por {mutation['test']} {mutation.get('function', '')}".rstrip(),
              flush=True)
    print(f"{len(chosen) - missed} de {len(chosen)} cazadas")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
