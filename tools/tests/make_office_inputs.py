#!/usr/bin/python3
"""Makes the office inputs of the converter tests with LibreOffice, in one session.

    make_office_inputs.py BIN_FOLDER OUTPUT_FOLDER

Writes into OUTPUT_FOLDER:
  three-pages.docx   three pages, "Velmora docx page N" and "zebra" on page N
  two-pages.odt      two pages, "Velmora odt page N" and "walrus"
  sheet.xlsx         one sheet holding "Quarterly", "rhubarb" and numbers
  drawing.wmf/.emf   a picture 8 x 4 cm: a black rectangle filling its left half, the right
                     half white inside a thin black frame
  macro.odt          a document whose load, save and close events write OUTPUT_FOLDER/macro-ran;
                     checked here: opened with macros allowed, the marker must appear
"""
import os
import shutil
import tempfile
import sys
import time

sys.path.insert(0, sys.argv[1])
import velmora_office as office  # noqa: E402


def new_document(desktop, kind):
    return desktop.loadComponentFromURL(
        "private:factory/" + kind, "_blank", 0, office.property_values(Hidden=True)
    )


def store(document, path, filter_name):
    document.storeToURL(office.file_url(path), office.property_values(FilterName=filter_name))


def write_text_pages(desktop, pages, path, filter_name):
    from com.sun.star.style.BreakType import PAGE_BEFORE

    document = new_document(desktop, "swriter")
    text = document.Text
    cursor = text.createTextCursor()
    for number, line in enumerate(pages, start=1):
        if number > 1:
            text.insertControlCharacter(cursor, 0, False)  # paragraph break
            cursor.BreakType = PAGE_BEFORE
        text.insertString(cursor, line, False)
    store(document, path, filter_name)
    document.close(True)


def write_sheet(desktop, path):
    document = new_document(desktop, "scalc")
    sheet = document.Sheets.getByIndex(0)
    sheet.getCellByPosition(0, 0).String = "Quarterly"
    sheet.getCellByPosition(1, 0).String = "rhubarb"
    for row in range(1, 6):
        sheet.getCellByPosition(0, row).Value = row * 1111
    store(document, path, "Calc MS Excel 2007 XML")
    document.close(True)


def rectangle(document, x, y, width, height, fill):
    from com.sun.star.awt import Point, Size
    from com.sun.star.drawing.FillStyle import NONE, SOLID

    shape = document.createInstance("com.sun.star.drawing.RectangleShape")
    shape.Position = Point(x, y)
    shape.Size = Size(width, height)
    shape.FillStyle = SOLID if fill else NONE
    shape.FillColor = 0
    shape.LineColor = 0
    shape.LineWidth = 0
    return shape


def write_pictures(desktop, paths):
    document = new_document(desktop, "sdraw")
    page = document.DrawPages.getByIndex(0)
    context = CONTEXT[0]
    shapes = context.ServiceManager.createInstanceWithContext(
        "com.sun.star.drawing.ShapeCollection", context
    )
    for shape in (
        rectangle(document, 2000, 2000, 8000, 4000, False),
        rectangle(document, 2000, 2000, 4000, 4000, True),
    ):
        page.add(shape)
        shapes.add(shape)
    exporter = context.ServiceManager.createInstanceWithContext(
        "com.sun.star.drawing.GraphicExportFilter", context
    )
    exporter.setSourceDocument(shapes)
    for path, media_type in paths:
        exporter.filter(office.property_values(URL=office.file_url(path), MediaType=media_type))
    document.close(True)


CONTEXT = []  # LibreOffice's component context, for services that are not documents


MACRO = """Sub Touch
    Dim n As Integer
    n = FreeFile
    Open "%s" For Output As #n
    Print #n, "ran"
    Close #n
End Sub
"""


def write_macro_document(desktop, path, marker):
    document = new_document(desktop, "swriter")
    document.Text.setString("A document with a macro that runs when it is opened")
    libraries = document.BasicLibraries
    if not libraries.hasByName("Standard"):
        libraries.createLibrary("Standard")
    libraries.getByName("Standard").insertByName("Module1", MACRO % marker)
    script = "vnd.sun.star.script:Standard.Module1.Touch?language=Basic&location=document"
    import uno

    binding = uno.Any(
        "[]com.sun.star.beans.PropertyValue",
        office.property_values(EventType="Script", Script=script),
    )
    for event in MACRO_EVENTS:
        if document.Events.hasByName(event):
            uno.invoke(document.Events, "replaceByName", (event, binding))
    store(document, path, "writer8")
    document.close(True)


# Everything a conversion does to a document: load, export, close.
MACRO_EVENTS = ("OnLoad", "OnLoadFinished", "OnViewCreated", "OnSaveTo", "OnSaveToDone",
                "OnPrepareUnload", "OnUnload")


def check_macro_runs_when_allowed(desktop, path, marker):
    """Opens the document as a viewer would, with macros allowed: its load event must write
    the marker, or the converters' test that no macro runs would prove nothing. Ends the
    session: LibreOffice may go down while the macro document closes."""
    from com.sun.star.document.MacroExecMode import ALWAYS_EXECUTE_NO_WARN

    arguments = office.property_values(Hidden=False, MacroExecutionMode=ALWAYS_EXECUTE_NO_WARN)
    document = desktop.loadComponentFromURL(office.file_url(path), "_blank", 0, arguments)
    deadline = time.monotonic() + 30
    while not os.path.exists(marker) and time.monotonic() < deadline:
        time.sleep(0.05)
    try:
        document.close(True)
    except Exception:
        pass
    if not os.path.exists(marker):
        raise SystemExit("the macro document's load event did not run with macros allowed")
    os.remove(marker)


def main():
    folder = os.path.abspath(sys.argv[2])
    session_folder = tempfile.mkdtemp(prefix="velmora-inputs-")
    # LibreOffice's own defaults: the macro document must be shown to run its macro here.
    session = office.OfficeSession(office.find_soffice(), session_folder, profile_settings=())
    try:
        session.start()
        desktop = session.desktop
        CONTEXT.append(session.context)
        write_text_pages(
            desktop,
            ["Velmora docx page %d zebra" % n for n in (1, 2, 3)],
            os.path.join(folder, "three-pages.docx"),
            "MS Word 2007 XML",
        )
        write_text_pages(
            desktop,
            ["Velmora odt page %d walrus" % n for n in (1, 2)],
            os.path.join(folder, "two-pages.odt"),
            "writer8",
        )
        write_sheet(desktop, os.path.join(folder, "sheet.xlsx"))
        write_pictures(
            desktop,
            [
                (os.path.join(folder, "drawing.wmf"), "image/x-wmf"),
                (os.path.join(folder, "drawing.emf"), "image/x-emf"),
            ],
        )
        macro_path = os.path.join(folder, "macro.odt")
        marker = os.path.join(folder, "macro-ran")
        write_macro_document(desktop, macro_path, marker)
        check_macro_runs_when_allowed(desktop, macro_path, marker)
    finally:
        session.stop()
        shutil.rmtree(session_folder, ignore_errors=True)


main()
