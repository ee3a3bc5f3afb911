#!/usr/bin/python3
"""Makes word-processor documents for the office benchmarks, the same bytes on every run.

    bench/make-office-documents.py FOLDER [COUNT [PAGES]]      (COUNT defaults to 20)

Writes FOLDER/report-01.docx ... each of PAGES pages, or of 10 to 20 pages: every page has a
heading, paragraphs of text, a table of figures and a picture of its own (a PNG drawn here),
and ends with a page break. The files are written directly as Office Open XML, so no office
suite is needed to make them and nothing in them depends on the time or the machine.
"""
import os
import struct
import sys
import zipfile
import zlib

WORDS = (
    "the quarterly figures show steady growth in every region while costs stayed within the "
    "budget agreed at the start of the year and the board expects the trend to continue"
).split()

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Default Extension="png" ContentType="image/png"/>
<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>
</Types>"""

PACKAGE_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>
</Relationships>"""

IMAGE_RELATIONSHIP = (
    '<Relationship Id="img%d" '
    'Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" '
    'Target="media/picture%d.png"/>'
)

NAMESPACES = (
    'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" '
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" '
    'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" '
    'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
    'xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture"'
)

EMU_PER_PIXEL = 9525  # at 96 pixels per inch
PICTURE_WIDTH, PICTURE_HEIGHT = 320, 160


def png(width, height, seed):
    """A grey-level PNG of bands and a diagonal, different for every seed."""
    rows = []
    for y in range(height):
        row = bytearray([0])  # filter: none
        for x in range(width):
            band = ((x + seed * 13) // 20 + (y // 16)) % 4
            value = 60 + band * 50
            if abs(x - 2 * y - seed) < 3:
                value = 0
            row.append(value)
        rows.append(bytes(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def run(text, bold=False):
    properties = "<w:rPr><w:b/><w:sz w:val=\"32\"/></w:rPr>" if bold else ""
    return "<w:r>%s<w:t xml:space=\"preserve\">%s</w:t></w:r>" % (properties, text)


def paragraph(document, page, number):
    start = (document * 7 + page * 3 + number) % len(WORDS)
    words = [WORDS[(start + k) % len(WORDS)] for k in range(45)]
    return "<w:p>%s</w:p>" % run(" ".join(words).capitalize() + ".")


def table(document, page):
    rows = []
    for row in range(6):
        cells = []
        for column in range(4):
            if row == 0:
                text = ("Region", "Q1", "Q2", "Q3")[column]
            elif column == 0:
                text = "Region %d" % row
            else:
                text = str((document * 997 + page * 101 + row * 31 + column * 7) % 9000 + 1000)
            cells.append("<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr>"
                         "<w:p>%s</w:p></w:tc>" % run(text))
        rows.append("<w:tr>%s</w:tr>" % "".join(cells))
    borders = "".join('<w:%s w:val="single" w:sz="4" w:space="0" w:color="000000"/>' % side
                      for side in ("top", "left", "bottom", "right", "insideH", "insideV"))
    return ("<w:tbl><w:tblPr><w:tblW w:w=\"8000\" w:type=\"dxa\"/><w:tblBorders>%s"
            "</w:tblBorders></w:tblPr>%s</w:tbl>" % (borders, "".join(rows)))


def picture(number):
    cx, cy = PICTURE_WIDTH * EMU_PER_PIXEL, PICTURE_HEIGHT * EMU_PER_PIXEL
    return (
        "<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"%d\" cy=\"%d\"/>"
        "<wp:docPr id=\"%d\" name=\"Picture %d\"/>"
        "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"%d\" name=\"picture%d.png\"/><pic:cNvPicPr/></pic:nvPicPr>"
        "<pic:blipFill><a:blip r:embed=\"img%d\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
        "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%d\" cy=\"%d\"/></a:xfrm>"
        "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
        "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>"
        % (cx, cy, number, number, number, number, number, cx, cy)
    )


def page_break():
    return "<w:p><w:r><w:br w:type=\"page\"/></w:r></w:p>"


def document_xml(document, pages):
    body = []
    for page in range(1, pages + 1):
        body.append("<w:p>%s</w:p>" % run("Report %d, page %d" % (document, page), bold=True))
        body.extend(paragraph(document, page, number) for number in range(3))
        body.append(table(document, page))
        body.append(picture(page))
        if page < pages:
            body.append(page_break())
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            "<w:document %s><w:body>%s<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
            "<w:pgMar w:top=\"1134\" w:right=\"1134\" w:bottom=\"1134\" w:left=\"1134\"/>"
            "</w:sectPr></w:body></w:document>" % (NAMESPACES, "".join(body)))


def write_document(path, document, pages):
    relationships = "".join(IMAGE_RELATIONSHIP % (page, page) for page in range(1, pages + 1))
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as docx:
        def add(name, data):
            info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            docx.writestr(info, data)

        add("[Content_Types].xml", CONTENT_TYPES)
        add("_rels/.rels", PACKAGE_RELS)
        add("word/_rels/document.xml.rels",
            '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships '
            'xmlns="http://schemas.openxmlformats.org/package/2006/relationships">%s'
            "</Relationships>" % relationships)
        add("word/document.xml", document_xml(document, pages))
        for page in range(1, pages + 1):
            add("word/media/picture%d.png" % page, png(PICTURE_WIDTH, PICTURE_HEIGHT,
                                                        document * 31 + page))


def main():
    if len(sys.argv) not in (2, 3, 4):
        sys.exit("usage: make-office-documents.py FOLDER [COUNT [PAGES]]")
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) >= 3 else 20
    pages_each = int(sys.argv[3]) if len(sys.argv) == 4 else None
    os.makedirs(folder, exist_ok=True)
    for document in range(1, count + 1):
        pages = pages_each or 10 + (document * 7) % 11  # 10 to 20 pages unless told
        write_document(os.path.join(folder, "report-%02d.docx" % document), document, pages)


if __name__ == "__main__":
    main()
