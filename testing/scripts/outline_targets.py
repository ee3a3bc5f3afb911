#!/usr/bin/python3
"""Prints where each bookmark of a PDF leads, as pikepdf reads it: one line per outline item,
in tree order, "depth<TAB>title<TAB>page<TAB>fit<TAB>numbers", where page is the 1-based page
of the document the destination names (0: no destination, -1: a destination to no page of
the document) and numbers are its coordinates ("null" kept). Named destinations are looked
up in the /Names /Dests tree and the catalog's /Dests; GoTo actions count as destinations.

usage: outline_targets.py FILE.pdf"""
import sys

import pikepdf


def named(pdf, name):
    root = pdf.Root
    key = str(name)
    if "/Names" in root and "/Dests" in root.Names:
        tree = pikepdf.NameTree(root.Names.Dests)
        if key in tree:
            return tree[key]
    if "/Dests" in root and pikepdf.Name("/" + key.lstrip("/")) in root.Dests:
        return root.Dests[pikepdf.Name("/" + key.lstrip("/"))]
    return None


def explicit(pdf, dest):
    if dest is None:
        return None
    if isinstance(dest, (pikepdf.String, pikepdf.Name)):
        dest = named(pdf, dest)
    if isinstance(dest, pikepdf.Dictionary):
        dest = dest.get("/D")
    return dest if isinstance(dest, pikepdf.Array) else None


def describe(pdf, item):
    dest = item.destination
    if dest is None and item.action is not None and item.action.get("/S") == "/GoTo":
        dest = item.action.get("/D")
    if dest is None:
        return "0\t\t"
    array = explicit(pdf, dest)
    if array is None or len(array) < 2:
        return "0\t\t"
    pages = {page.objgen: k + 1 for k, page in enumerate(pdf.pages)}
    page = pages.get(array[0].objgen, -1) if isinstance(array[0], pikepdf.Dictionary) else -1
    numbers = " ".join("null" if v is None else f"{float(v):.2f}" for v in list(array)[2:])
    return f"{page}\t{str(array[1]).lstrip('/')}\t{numbers}"


def main():
    with pikepdf.open(sys.argv[1]) as pdf, pdf.open_outline() as outline:
        def walk(items, depth):
            for item in items:
                print(f"{depth}\t{item.title}\t{describe(pdf, item)}")
                walk(item.children, depth + 1)
        walk(outline.root, 0)


if __name__ == "__main__":
    main()
