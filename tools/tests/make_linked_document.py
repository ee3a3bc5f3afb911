#!/usr/bin/python3
"""make_linked_document.py OUTPUT.odt|OUTPUT.ods PICTURE...: a text document (or a spreadsheet)
with the words "Velmora linked document" and one picture per PICTURE, 8 x 8 cm. A PICTURE is
linked (not embedded) to the URL or name it gives, except "embed:FILE", which embeds FILE."""
import os
import sys
import zipfile
from xml.sax.saxutils import quoteattr

MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
 <manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.text"/>
 <manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>"""

CONTENT = """<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink" office:version="1.2">
 <office:body><office:text>
  <text:p>Velmora linked document</text:p>
  %s
 </office:text></office:body>
</office:document-content>"""

FRAME = """<text:p><draw:frame draw:name="picture%d" text:anchor-type="as-char" svg:width="8cm" svg:height="8cm">
   <draw:image xlink:href=%s xlink:type="simple" xlink:show="embed" xlink:actuate="onLoad"/>
  </draw:frame></text:p>"""


SHEET = """<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink" office:version="1.2">
 <office:body><office:spreadsheet><table:table table:name="Sheet1"><table:shapes>%s</table:shapes>
  <table:table-row><table:table-cell office:value-type="string">
   <text:p>Velmora linked document</text:p></table:table-cell></table:table-row>
 </table:table></office:spreadsheet></office:body>
</office:document-content>"""

SHEET_FRAME = """<draw:frame svg:width="8cm" svg:height="8cm" svg:x="1cm" svg:y="%dcm">
  <draw:image xlink:href=%s xlink:type="simple" xlink:show="embed" xlink:actuate="onLoad"/>
 </draw:frame>"""

EMBED = "embed:"


def picture_href(index, picture):
    """Where the document finds `picture`: at its link, or inside the document."""
    if not picture.startswith(EMBED):
        return picture
    return "Pictures/%d-%s" % (index, os.path.basename(picture))


def main():
    output, pictures = sys.argv[1], sys.argv[2:]
    sheet = output.endswith(".ods")
    hrefs = [picture_href(index, picture) for index, picture in enumerate(pictures)]
    frames = "\n".join((SHEET_FRAME % (1 + 9 * index, quoteattr(href))) if sheet else
                       (FRAME % (index, quoteattr(href))) for index, href in enumerate(hrefs))
    embedded = [(picture[len(EMBED):], href)
                for picture, href in zip(pictures, hrefs) if picture != href]
    kind = "spreadsheet" if sheet else "text"
    entries = "".join('<manifest:file-entry manifest:full-path=%s manifest:media-type=""/>\n'
                      % quoteattr(href) for _, href in embedded)
    manifest = MANIFEST.replace("opendocument.text", "opendocument." + kind).replace(
        "</manifest:manifest>", entries + "</manifest:manifest>")
    with zipfile.ZipFile(output, "w") as odt:
        odt.writestr("mimetype", "application/vnd.oasis.opendocument." + kind, zipfile.ZIP_STORED)
        odt.writestr("META-INF/manifest.xml", manifest, zipfile.ZIP_DEFLATED)
        odt.writestr("content.xml", (SHEET if sheet else CONTENT) % frames, zipfile.ZIP_DEFLATED)
        for picture, href in embedded:
            odt.write(picture, href, zipfile.ZIP_STORED)


if __name__ == "__main__":
    main()
