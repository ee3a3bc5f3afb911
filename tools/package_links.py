"""A zip package (OpenDocument or Office Open XML) without links to files outside it.

LibreOffice's spreadsheet import draws a picture an OpenDocument file links to (an absolute
file: address, or a path beside the document such as "../secret.png") from the file system
whatever the profile says. So a package whose XML links anywhere outside itself is copied with
those links emptied before LibreOffice sees it: every *:href attribute but a hyperlink's (an
element named "a") in OpenDocument XML, every external relationship but a hyperlink in Office
Open XML. The picture's frame stays, empty. The copy is then read back with a real XML parser,
and a package that still links out (XML written to mislead the rewriting) is refused. A package
that links nowhere is used as it is.
"""

import posixpath
import re
import xml.etree.ElementTree as ElementTree
import zipfile

from converter_program import ConversionError

HREF = re.compile(rb"""(\s)((?:[\w.-]+:)?href\s*=\s*)("[^"]*"|'[^']*')""")
START_TAG = re.compile(rb"""<([\w.:-]+)((?:\s+[\w.:-]+\s*=\s*(?:"[^"]*"|'[^']*'))*)\s*/?>""")
RELATIONSHIP = re.compile(rb"""<(?:[\w.-]+:)?Relationship\s(?:[^>"']|"[^"]*"|'[^']*')*>""")
TARGET = re.compile(rb"""(\sTarget\s*=\s*)("[^"]*"|'[^']*')""")
XLINK_HREF = "{http://www.w3.org/1999/xlink}href"
SCHEME = re.compile(r"^[a-zA-Z][a-zA-Z0-9+.-]*:")
# Addresses of the office's own that name a part of the package or a picture in memory.
INTERNAL_SCHEMES = ("vnd.sun.star.package:", "vnd.sun.star.graphicobject:")
# The largest part that is looked at; a larger XML part is refused rather than read.
MAX_PART_BYTES = 256 << 20


def without_outside_links(input_path, copy_path):
    """The package to load: `input_path` when it links nowhere outside itself, else `copy_path`,
    written as its copy with those links emptied. ConversionError when neither can be had."""
    try:
        with zipfile.ZipFile(input_path) as package:
            inside = package_paths(package.namelist())
            changed = {}
            for info in package.infolist():
                if not info.filename.lower().endswith((".xml", ".rels")):
                    continue
                if not mentions_links(package, info):
                    continue
                if info.file_size > MAX_PART_BYTES:
                    raise ConversionError("%s holds a part larger than %d MiB" % (
                        input_path, MAX_PART_BYTES >> 20))
                data = package.read(info)
                emptied = emptied_links(info.filename, data, inside)
                if emptied != data:
                    changed[info.filename] = emptied
            if not changed:
                return input_path
            write_copy(package, changed, copy_path)
    except (zipfile.BadZipFile, OSError, RuntimeError, ValueError) as error:
        raise ConversionError("%s is a damaged package: %s" % (input_path, error))
    for name, data in changed.items():
        if links_outside(name, data, inside):
            raise ConversionError("%s links to files outside it in a way that cannot be undone"
                                  % input_path)
    return copy_path


def mentions_links(package, info):
    """Whether a part holds the word of a link at all, read piece by piece, so that a part
    that unpacks to hundreds of megabytes of text is never held whole here."""
    with package.open(info) as part:
        tail = b""
        while True:
            chunk = part.read(1 << 20)
            if not chunk:
                return False
            window = tail + chunk.lower()
            if b"href" in window or b"external" in window:
                return True
            tail = window[-8:]


def package_paths(names):
    """Every entry of the package and every folder holding one."""
    paths = set()
    for name in names:
        parts = name.strip("/").split("/")
        for end in range(1, len(parts) + 1):
            paths.add("/".join(parts[:end]))
    return paths


def is_inside(address, inside):
    """Whether an OpenDocument link names a part of the package (or a place in the document)."""
    address = address.strip()
    if not address or address.startswith("#"):
        return True
    if address.lower().startswith(INTERNAL_SCHEMES):
        return True
    if SCHEME.match(address) or address.startswith(("/", "\\")):
        return False
    path = posixpath.normpath(address)
    return not path.startswith("..") and path.strip("/") in inside


def emptied_links(name, data, inside):
    if name.lower().endswith(".rels"):
        return RELATIONSHIP.sub(lambda tag: emptied_relationship(tag.group(0)), data)
    return START_TAG.sub(lambda tag: emptied_tag(tag, inside), data)


def emptied_tag(tag, inside):
    if tag.group(1).split(b":")[-1] == b"a":
        return tag.group(0)  # a hyperlink: followed only when a reader clicks it

    def emptied(attribute):
        value = attribute.group(3)[1:-1].decode("utf-8", "replace")
        if is_inside(value, inside):
            return attribute.group(0)
        return attribute.group(1) + attribute.group(2) + b'""'

    return HREF.sub(emptied, tag.group(0))


def emptied_relationship(tag):
    if not re.search(rb"""TargetMode\s*=\s*["']External["']""", tag):
        return tag
    if re.search(rb"""Type\s*=\s*["'][^"']*/hyperlink["']""", tag):
        return tag
    return TARGET.sub(lambda target: target.group(1) + b'""', tag)


def links_outside(name, data, inside):
    """Whether the XML part, read by a real parser, still links outside the package."""
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError:
        return False  # LibreOffice cannot read it either
    for element in root.iter():
        local = element.tag.rsplit("}", 1)[-1]
        if name.lower().endswith(".rels"):
            if (element.get("TargetMode") == "External" and element.get("Target")
                    and not element.get("Type", "").endswith("/hyperlink")):
                return True
        elif local != "a":
            for key, value in element.attrib.items():
                if key.rsplit("}", 1)[-1] == "href" and not is_inside(value, inside):
                    return True
    return False


def write_copy(package, changed, copy_path):
    with zipfile.ZipFile(copy_path, "w") as copy:
        for info in package.infolist():
            data = changed.get(info.filename)
            if data is None:
                data = package.read(info)
            copy.writestr(info, data)
