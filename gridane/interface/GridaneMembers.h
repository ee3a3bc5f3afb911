// The imposition engine's contract, in two lists (see com/ComponentContract.h): its job method,
//
//   X(name, dispid, helpString, result, param...)
//
// and every property of IGridaneCom in the interface's declaration order, each as
//
//   X(name, dispid, kind, default, helpString, setting, meaning)
//
// where `setting` is the member of gridane::JobSettings the property fills. The interface, the
// object, the type library, the `gridane` command's options and help and the engine's setting
// puts are all expanded from these lists.
#pragma once

#define GRIDANE_JOB_METHOD(X) X(getGridaneFile, 5, "", pVal, m_intputFile, m_outputFile)

// clang-format off
#define GRIDANE_PROPERTIES(X) \
    X(duplicate, 6, Flag, "0", "", duplicate, "every cell of a sheet shows the same page; with rotateLeft or rotateRight the document is doubled instead of imposed") \
    X(down, 7, Flag, "0", "", down, "column-wise variant of the grid orders; in 2-up the two cells one above the other") \
    X(up4, 8, Flag, "0", "", up4, "4-up layout (2 x 2)") \
    X(ab, 9, Flag, "1", "", ab, "sequential order within the selected layout") \
    X(ab4, 10, Flag, "0", "", ab4, "folded order of the 4-up layout: front and back of each block of eight pages") \
    X(e, 11, Integer, "99999", "", lastPage, "last page to impose, 1-based; 99999 means up to the last page") \
    X(s, 12, Integer, "1", "", firstPage, "first page to impose, 1-based; the pages before it are kept as they are") \
    X(split, 30, Flag, "0", "", split, "cut-and-stack order (when ab and the abN flags are off)") \
    X(rightmargin, 31, Integer, "0", "", rightMargin, "gap in points between cell columns") \
    X(cropbox, 35, Text, "", "", cropBox, "x1,y1,x2,y2 for the sheets' crop, bleed, trim and art boxes") \
    X(mediabox, 36, Text, "", "", mediaBox, "x1,y1,x2,y2 for the sheets' media box") \
    X(bottommargin, 37, Integer, "0", "", bottomMargin, "gap in points between cell rows") \
    X(seq, 38, Text, "", "", sequenceFile, "sequence file giving the page order by example") \
    X(duplex, 39, Flag, "0", "", duplex, "every second sheet side takes the back-side order") \
    X(duplex1423, 40, Flag, "0", "", duplex1423, "duplex order: per four pages 1 and 4 on the front, 2 and 3 on the back") \
    X(duplex4123, 41, Flag, "0", "", duplex4123, "duplex order: per four pages 4 and 1 on the front, 2 and 3 on the back") \
    X(up3x2, 42, Flag, "0", "", up3x2, "6-up layout, 3 columns by 2 rows") \
    X(up2x3, 43, Flag, "0", "", up2x3, "6-up layout, 2 columns by 3 rows") \
    X(ab6, 44, Flag, "0", "", ab6, "folded order of the 6-up layout") \
    X(outer_in, 45, Flag, "0", "", outer_in, "booklet pairing of first and last pages, outside in") \
    X(up2to1, 46, Flag, "0", "", up2to1, "2-to-1: each page shown in two halves, left then right") \
    X(offset_split, 47, Integer, "0", "", splitOffset, "gap in points left out at the cut of the 2-to-1 layouts") \
    X(up2to1h, 48, Flag, "0", "", up2to1h, "2-to-1: each page shown in two halves, lower then upper") \
    X(rotateLeft, 49, Flag, "0", "", rotateLeft, "with duplicate: double the document for a later rotation") \
    X(rotateRight, 50, Flag, "0", "", rotateRight, "with duplicate: double the document for a later rotation") \
    X(ab8, 51, Flag, "0", "", ab8, "folded order of the 8-up layout") \
    X(ab10, 52, Flag, "0", "", ab10, "folded order of the 10-up layout") \
    X(ab12, 53, Flag, "0", "", ab12, "folded order of the 12-up layout") \
    X(up4x2, 54, Flag, "0", "", up4x2, "8-up layout, 4 columns by 2 rows") \
    X(up2x4, 55, Flag, "0", "", up2x4, "8-up layout, 2 columns by 4 rows") \
    X(up5x2, 56, Flag, "0", "", up5x2, "10-up layout, 5 columns by 2 rows") \
    X(up2x5, 57, Flag, "0", "", up2x5, "10-up layout, 2 columns by 5 rows") \
    X(up6x2, 58, Flag, "0", "", up6x2, "12-up layout, 6 columns by 2 rows") \
    X(up2x6, 59, Flag, "0", "", up2x6, "12-up layout, 2 columns by 6 rows") \
    X(up4x3, 60, Flag, "0", "", up4x3, "12-up layout, 4 columns by 3 rows") \
    X(up3x4, 61, Flag, "0", "", up3x4, "12-up layout, 3 columns by 4 rows") \
    X(up3, 62, Flag, "0", "", up3, "3-up layout, three pages in a row") \
    X(up3down, 63, Flag, "0", "", up3down, "3-up layout, three pages in a column") \
    X(ab3, 64, Flag, "0", "", ab3, "sequential order of the 3-up layout") \
    X(duplex1342, 65, Flag, "0", "", duplex1342, "duplex order: per four pages 1 and 3 on the front, 4 and 2 on the back") \
    X(cropbox2, 66, Text, "", "", cropBox2, "like cropbox, used instead of it on every second sheet") \
    X(mediabox2, 67, Text, "", "", mediaBox2, "like mediabox, used together with cropbox2 on every second sheet") \
    X(sheet, 68, Text, "", "", sheet, "sheet size: a paper name (A4, A3, Letter, ...) or W,H in points, turned to suit the grid; add :portrait or :landscape to force it; empty: as large as the grid") \
    X(fit, 69, Flag, "0", "", fitToCell, "scale every page to fill its cell, enlarging too (without it pages only shrink to fit)") \
    X(outer_margin, 70, Integer, "0", "", outerMargin, "margin in points between the sheet's edge and its cells") \
    X(gutter, 71, Integer, "0", "", gutter, "gap in points between neighbouring cells") \
    X(signature, 72, Integer, "0", "", signature, "booklet in sections of N sheets (4N pages), each folded on its own; 0: one section") \
    X(rtl, 73, Flag, "0", "", rightToLeft, "right-to-left binding: each row of cells in mirrored order") \
    X(creep, 74, Text, "0", "", creep, "paper thickness in mm: booklet pages move towards the fold by it per sheet from the outside of their section") \
    X(cropmarks, 75, Flag, "0", "", cropMarks, "cut marks at the corners of every page's trim, in the sheet's margin; bleed shown up to them") \
    X(foldmarks, 76, Flag, "0", "", foldMarks, "marks on the fold lines of booklets and folded orders, in the sheet's margin") \
    X(grid, 77, Text, "", "", freeGrid, "CxR: a grid of C columns and R rows (1 to 20 each) in place of the fixed layouts") \
    X(order, 78, Text, "", "", fillOrder, "how a grid fills: rows (the default) or columns") \
    X(from, 79, Text, "", "", fillFrom, "where a grid starts filling: top (the default) or bottom; with rtl from the right") \
    X(frame, 80, Text, "0", "", frame, "line of this many points (0 to 10) round every placed page") \
    X(repeat, 81, Flag, "0", "", repeat, "step-and-repeat: sheet side k shows page k in every cell; on a sheet without grid the grid (and a quarter turn of the cards) that fits most copies at 100% is chosen") \
    X(bleed, 82, Text, "0", "", bleed, "with repeat: points (0 to 72) of each copy shown beyond its trim, never across a shared cut") \
    X(duplex_backs, 83, Flag, "0", "", duplexBacks, "with repeat: pages 1, 2 are front and back of card 1, 3, 4 of card 2 ...; backs land behind their fronts") \
    X(flip, 84, Text, "", "", flip, "edge the printer turns a sheet over for its back: long (the default) or short, which turns every back side by a half") \
    X(back_shift, 85, Text, "", "", backShift, "X,Y in points (-72 to 72): everything on every back side moves by it") \
    X(calibration, 86, Flag, "0", "", calibration, "instead of imposing, write OUTPUT as a two-sided test sheet of the job's sheet: a cross and rulers whose labels, where the back's cross shows through, give back_shift") \
    X(slug, 90, Text, "", "", slug, "a line of text in every sheet's margin; {file}, {date}, {sheet}, {sheets}, {side} (front or back) and {job} are filled in; {{ and }} give { and }") \
    X(regmarks, 91, Flag, "0", "", regMarks, "registration targets at the middle of each sheet edge, in the sheet's margin") \
    X(colorbar, 92, Flag, "0", "", colorBar, "a strip of cyan, magenta, yellow and black patches (100, 50 and 25%) and their overlaps in the sheet's margin") \
    X(unimpose, 93, Flag, "0", "", unimpose, "turn a 2-up booklet (with signature and rtl as it was made) back into its pages in reading order, one half sheet a page") \
    X(tile, 94, Text, "", "", posterTiles, "CxR: every page enlarged over C columns and R rows of sheets (1 to 20 each) of the sheet size, as poster tiles") \
    X(poster, 95, Text, "", "", posterSize, "poster tiles: every page enlarged to this size, a paper name (A0, A1, A2, ...) or W,H in points, turned like the page unless :portrait or :landscape is added, and cut into the fewest sheets that cover it") \
    X(overlap, 96, Text, "0", "", overlap, "with tile or poster: points (0 to 72) of picture neighbouring tiles share, for gluing") \
    X(fold, 97, Integer, "0", "", fold, "folded signatures: pages a sheet holds, printed on both sides and folded once (4), twice (8), three times (16) or four times (32); 0: off") \
    X(binding, 98, Text, "", "", binding, "with fold: saddle (the default; signatures nested inside each other) or perfect (signatures stacked one after another)") \
    X(cover, 99, Text, "", "", cover, "with fold: separate puts the first two and last two pages on a sheet of their own, outside the signatures") \
    X(template, 100, Text, "", "", templateFile, "sheet template (JSON) laying out the sheets in place of the built-in layouts; see the README's \"Sheet templates\"") \
    X(print_template, 101, Flag, "0", "", printTemplate, "print on standard output the template of the layout the other options give for INPUT (gridane --print_template [options] INPUT), to start a template from")
// clang-format on
