#!/usr/bin/env python3
"""Checks every #include of the source folders against the arrows the README draws.

The README's sentence "The arrows point down only: ..." lists chains such as
`setup` -> `engine` -> `platform` (groups joined by commas, chains by semicolons). A file in
folder F, or in tests/F, may include its own folder and the folders F's arrows point to
(not those further down: setup reaches platform only through engine); Qt headers where
Qt lies anywhere below F. Tests in tests/F may look at every layer below F (an end-to-end
test reads the registry), but not at Qt unless it lies below F. Prints each include that
breaks this and exits 1.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
ARROW = "\u2192"


def read_arrows(readme):
    text = " ".join(readme.read_text(encoding="utf-8").split())
    match = re.search(r"The arrows point down only: (.*?)\.(?: |$)", text)
    if not match:
        sys.exit("README.md draws no arrows ('The arrows point down only: ...')")
    edges = {}
    for chain in match.group(1).split(";"):
        groups = [re.findall(r"`([a-z_]+)`|\b(Qt)\b", part) for part in chain.split(ARROW)]
        groups = [[a or b for a, b in group] for group in groups]
        for upper, lower in zip(groups, groups[1:]):
            for name in upper:
                edges.setdefault(name, set()).update(lower)
    return edges


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
    problems = list(violations(read_arrows(ROOT / "README.md")))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
