"""What an office document is, told by its bytes, and how LibreOffice is to load it.

The extension only says what the user expects: an RTF renamed .docx is still an RTF, and an
SVG named .emf is still a drawing that may point at other files. So the loading filter is
chosen from the content, never left to LibreOffice's own detection, and a file that is none of
the kinds the converters take is refused. The kinds whose importer reads linked files no
setting switches off get a copy without those links first (rtf_fields.py, package_links.py).
"""

import os
import zipfile

import package_links
import rtf_fields
from converter_program import ConversionError

# Comma separated, double-quoted, UTF-8, first line 1, detect special numbers.
CSV_OPTIONS = "44,34,76,1,,0,false,true,true"

# The main part of an Office Open XML package, by the content type [Content_Types].xml gives it.
OOXML_FILTERS = (
    ("wordprocessingml.document.main", "MS Word 2007 XML"),
    ("wordprocessingml.template.main", "MS Word 2007 XML"),
    ("ms-word.document.macroenabled.main", "MS Word 2007 XML"),
    ("spreadsheetml.sheet.main", "Calc MS Excel 2007 XML"),
    ("spreadsheetml.template.main", "Calc MS Excel 2007 XML"),
    ("ms-excel.sheet.macroenabled.main", "Calc MS Excel 2007 XML"),
)
# An OpenDocument package, by its mimetype entry.
ODF_FILTERS = {
    "application/vnd.oasis.opendocument.text": "writer8",
    "application/vnd.oasis.opendocument.spreadsheet": "calc8",
}
# A compound file, by the name of the stream that holds the document (UTF-16 in its directory).
COMPOUND_FILTERS = (("WordDocument", "MS Word 97"), ("Workbook", "MS Excel 97"), ("Book", "MS Excel 97"))
COMPOUND_MAGIC = b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"
PLACEABLE_WMF_MAGIC = b"\xd7\xcd\xc6\x9a"

# How much of a file is looked at to tell plain text from other bytes.
SNIFF_BYTES = 1 << 16
# The largest [Content_Types].xml or mimetype entry read from a package.
MAX_PACKAGE_ENTRY = 1 << 20


class Loading:
    """How LibreOffice loads one document: the file to open (the input, or a copy made safe in
    the converter's folder), its import filter and the filter's options."""

    def __init__(self, path, filter_name, options=""):
        self.path = path
        self.filter_name = filter_name
        self.options = options


def loading_for(input_path, folder, picture=False):
    """How to load `input_path`, decided from its content; `picture` asks for a Windows
    metafile. ConversionError when the file is not a kind the converters take."""
    loading = _loading_for(input_path, folder, picture)
    loading.path = openable_path(loading.path, folder)
    return loading


def _loading_for(input_path, folder, picture):
    with open(input_path, "rb") as source:
        head = source.read(SNIFF_BYTES)
    metafile = metafile_filter(head)
    if picture or metafile:
        if not (picture and metafile):
            raise ConversionError("%s is not a Windows metafile (.wmf, .emf) but %s" % (
                input_path, "a picture" if metafile else "another kind of file"))
        return Loading(input_path, metafile)
    if head.lstrip(b"\xef\xbb\xbf \t\r\n").startswith(b"{\\rtf"):
        safe = os.path.join(folder, "document.rtf")
        rtf_fields.write_without_linked_content(input_path, safe)
        return Loading(safe, "Rich Text Format")
    if head.startswith(b"PK\x03\x04"):
        filter_name = package_filter(input_path)
        copy = os.path.join(folder, "document.package")
        return Loading(package_links.without_outside_links(input_path, copy), filter_name)
    if head.startswith(COMPOUND_MAGIC):
        return Loading(input_path, compound_filter(input_path))
    if b"\0" in head:
        raise ConversionError("%s is not a document this converter reads" % input_path)
    if input_path.lower().endswith(".csv"):
        return Loading(input_path, "Text - txt - csv (StarCalc)", CSV_OPTIONS)
    # The filter LibreOffice itself picks for plain text.
    return Loading(input_path, "Text")


def metafile_filter(head):
    """The import filter of a Windows metafile; empty when `head` starts no metafile."""
    if head.startswith(PLACEABLE_WMF_MAGIC) or head[:4] in (b"\x01\x00\x09\x00", b"\x02\x00\x09\x00"):
        return "WMF - MS Windows Metafile"
    if head[:4] == b"\x01\x00\x00\x00" and head[40:44] == b" EMF":
        return "EMF - MS Windows Metafile"
    return ""


def package_filter(input_path):
    """The import filter of a zip package: an Office Open XML or OpenDocument text or sheet."""
    try:
        with zipfile.ZipFile(input_path) as package:
            names = set(package.namelist())
            if "[Content_Types].xml" in names:
                types = read_entry(package, "[Content_Types].xml").lower()
                for main_part, filter_name in OOXML_FILTERS:
                    if main_part in types:
                        return filter_name
            elif "mimetype" in names:
                kind = read_entry(package, "mimetype").strip()
                if kind in ODF_FILTERS:
                    return ODF_FILTERS[kind]
    except (zipfile.BadZipFile, OSError, ValueError, RuntimeError) as error:
        raise ConversionError("%s is a damaged package: %s" % (input_path, error))
    raise ConversionError("%s is a package that holds no text document or spreadsheet" % input_path)


def read_entry(package, name):
    with package.open(name) as entry:
        data = entry.read(MAX_PACKAGE_ENTRY + 1)
    if len(data) > MAX_PACKAGE_ENTRY:
        raise ValueError("%s is too large" % name)
    return data.decode("utf-8", "replace")


def compound_filter(input_path):
    """The import filter of a compound file (a Word 97 document or an Excel 97 workbook), by
    the stream its directory names first."""
    with open(input_path, "rb") as source:
        data = source.read(8 << 20)
    found = []
    for stream, filter_name in COMPOUND_FILTERS:
        at = data.find(stream.encode("utf-16-le") + b"\0\0")
        if at >= 0:
            found.append((at, filter_name))
    if not found:
        raise ConversionError("%s holds neither a Word document nor an Excel workbook" % input_path)
    return min(found)[1]


def openable_path(input_path, folder):
    """A name LibreOffice can open `input_path` by. It takes file names for UTF-8, so a name
    holding other bytes is opened through a link in `folder` with the same extension."""
    try:
        os.fsencode(input_path).decode("utf-8")
        return input_path
    except UnicodeDecodeError:
        pass
    extension = os.path.splitext(input_path)[1]
    if not extension.isascii():
        extension = ""
    link = os.path.join(folder, "input" + extension)
    os.symlink(os.path.abspath(input_path), link)
    return link
