#!/usr/bin/env python3
"""Checks every #include of the source folders against the arrows of layers.txt.

Each line of layers.txt reads "folder -> folder folder ..." (Qt among them). A file in
folder F may include its own folder and the folders F's arrows point to (not those further
down: setup reaches platform only through engine); Qt headers where Qt lies anywhere below
F. Tests in tests/F may look at every layer below F (an end-to-end test reads the registry),
but not at Qt unless it lies below F. The README must quote the arrows as they stand. Prints
each include that breaks this and exits 1.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)


def arrow_lines(layers):
    return [line for line in layers.read_text(encoding="utf-8").splitlines()
            if line.strip() and not line.startswith("#")]


def read_arrows(lines):
    edges = {}
    for line in lines:
        upper, arrow, lower = line.partition("->")
        if not arrow:
            sys.exit(f"layers.txt: not an arrow: {line!r}")
        edges.setdefault(upper.strip(), set()).update(lower.split())
    return edges


def readme_quotes(readme, lines):
    return "\n".join(lines) in readme.read_text(encoding="utf-8")


def reachable(edges, start):
    seen, todo = set(), [start]
    while todo:
        for below in edges.get(todo.pop(), ()):
            if below not in seen:
                seen.add(below)
                todo.append(below)
    return seen


def violations(edges):
    folders = set(edges) | {n for lower in edges.values() for n in lower}
    folders.discard("Qt")
    include = re.compile(r'^\s*#\s*include\s*(?:"([a-z_]+)/|<(Q[A-Za-z]*)[>/])')
    for folder in sorted(folders):
        below = reachable(edges, folder)
        direct = edges.get(folder, set()) | {folder} | ({"Qt"} & below)
        for base, allowed in ((ROOT / folder, direct), (ROOT / "tests" / folder, below | {folder})):
            for path in sorted(base.rglob("*")) if base.is_dir() else []:
                if path.suffix not in (".h", ".cpp"):
                    continue
                for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                    found = include.match(line)
                    if not found:
                        continue
                    target = "Qt" if found.group(2) else found.group(1)
                    if target in allowed or (target not in folders and target != "Qt"):
                        continue
                    yield f"{path.relative_to(ROOT)}:{number}: {folder} may not include {target}"


def main():
    lines = arrow_lines(ROOT / "layers.txt")
    problems = list(violations(read_arrows(lines)))
    if not readme_quotes(ROOT / "README.md", lines):
        problems.append("README.md does not quote the arrows of layers.txt as they stand")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
