/* The DPL PDF library: documents, pages and images behind a flat C interface.
 *
 * Every entry point but DPLCreateLibrary takes the instance id first. An instance owns its
 * documents and images; they live until they are removed or the instance is released, and
 * nothing is shared between instances. Texts are zero-terminated UTF-16 strings owned by the
 * caller and read only during the call. Results are ints (ids, counts, 1 for success, 0 for
 * failure) or doubles for measures. No entry point throws, prints or aborts on bad input: an
 * unknown instance, document, image or page, a bad file or a bad argument gives 0.
 *
 * Measures are PDF points (1/72 inch). Each instance keeps one selected document, and each
 * document one selected page; page calls act on the selected page of the selected document.
 * Drawing coordinates are measured from the corner chosen by DPLSetOrigin (bottom-left until
 * then), with y growing away from that corner into the page.
 *
 * Images are read from TIFF (every page of a multi-page file, bilevel, gray, palette, RGB and
 * CMYK, uncompressed or LZW, Deflate, PackBits, CCITT G3/G4 or JPEG compressed), JPEG, PNG
 * (alpha becomes a soft mask), GIF and BMP files, recognised by their content. They are
 * embedded losslessly: JPEG data as it stands, single-strip CCITT G4 data as it stands, other
 * pictures Flate-compressed (bilevel ones at one bit a pixel).
 */
#ifndef PRINTPDF_DPL_H
#define PRINTPDF_DPL_H

#ifdef __cplusplus
extern "C" {
#else
#include <uchar.h>
#endif

#if defined(__GNUC__)
#define DPL_EXPORT __attribute__((visibility("default")))
#else
#define DPL_EXPORT
#endif

/* ---- Instances ---------------------------------------------------------------------------- */

/* Creates an instance; returns its id (above 0), or 0 when none can be made. */
DPL_EXPORT int DPLCreateLibrary(void);

/* Releases the instance with all its documents and images. 1, or 0 for an unknown id. */
DPL_EXPORT int DPLReleaseLibrary(int instanceId);

/* ---- Documents ---------------------------------------------------------------------------- */

/* Opens the PDF file `fileName` (an encrypted one with `password`, "" for none) as a new
 * document, which becomes the selected one with its first page selected. Returns 1, or 0
 * when the file is missing, damaged beyond repair or the password is wrong; the selection is
 * then unchanged. */
DPL_EXPORT int DPLLoadFromFile(int instanceId, const char16_t* fileName, const char16_t* password);

/* The id (above 0) of the selected document; 0 when there is none. */
DPL_EXPORT int DPLSelectedDocument(int instanceId);

/* Makes a new document with one empty page of 612 x 792 points and selects it (and that
 * page). Returns the document id, 0 on failure. */
DPL_EXPORT int DPLNewDocument(int instanceId);

/* Selects the document `documentId`. Returns 1; 0 for an id that names no document of the
 * instance (0 included), which leaves the selection as it was. */
DPL_EXPORT int DPLSelectDocument(int instanceId, int documentId);

/* The page count of the selected document; 0 when there is none. */
DPL_EXPORT int DPLPageCount(int instanceId);

/* Appends to the selected document copies of pages of document `documentId` (which may be the
 * selected one), with their contents, resources, fonts, images and annotations. `ranges` is a
 * comma-separated list of page numbers (1-based) and ranges "first-last"; a range whose last
 * page is before its first ("1-0") stands for no page. Returns 1, or 0 when the document is
 * unknown, the text is not such a list or names a page the document does not have; nothing is
 * appended then. The selected page stays as it was. */
DPL_EXPORT int DPLCopyPageRanges(int instanceId, int documentId, const char16_t* ranges);

/* Deletes `count` pages of the selected document from page `firstPage` (1-based) on. Returns
 * 1, or 0 when the pages do not all exist, or when they are all the document's pages (a
 * document keeps at least one page). The first page is selected afterwards. */
DPL_EXPORT int DPLDeletePages(int instanceId, int firstPage, int count);

/* Writes the selected document to `fileName`. The file is written under a temporary name in
 * the same folder and renamed over `fileName` only when it is complete, so a failure leaves
 * no partial file and any earlier file of that name unchanged. Returns 1, 0 on failure. */
DPL_EXPORT int DPLSaveToFile(int instanceId, const char16_t* fileName);

/* Discards the document `documentId`. When it was selected, no document is selected
 * afterwards. Returns 1, 0 for an unknown id. */
DPL_EXPORT int DPLRemoveDocument(int instanceId, int documentId);

/* ---- Pages -------------------------------------------------------------------------------- */

/* Appends an empty page to the selected document and selects it. The new page has the media
 * box of the page selected before (612 x 792 points when there was none). Returns the new
 * page's number, 0 on failure. */
DPL_EXPORT int DPLNewPage(int instanceId);

/* Appends `count` (1 to 1,000,000) empty pages with the media box of the selected page to the
 * selected document; the selection stays. The pages are written when the document is saved,
 * after its other objects, and take no memory before. Returns the document's new page count,
 * 0 on failure. */
DPL_EXPORT int DPLAppendBlankPages(int instanceId, int count);

/* One measure of a box of the selected page. `boxType`: 1 media box, 2 crop box, 3 bleed box,
 * 4 trim box, 5 art box (a box the page lacks falls back as PDF viewers do: crop to media,
 * the others to crop). `dimension`: 0 left, 1 top (the upper edge, measured from the bottom
 * of the page space), 2 width, 3 height. 0 when there is no selected page or an argument is
 * out of range. */
DPL_EXPORT double DPLGetPageBox(int instanceId, int boxType, int dimension);

/* Sets a box of the selected page (box types as above) to the rectangle with upper-left
 * corner (left, top), measured as DPLGetPageBox gives them, and the given width and height.
 * Returns 1, or 0 for a bad box type, a negative size or no selected page. */
DPL_EXPORT int DPLSetPageBox(int instanceId, int boxType, double left, double top, double width,
                             double height);

/* Gives the selected page a media box of width x height points with its lower-left corner at
 * (0, 0), and removes its other boxes. Returns 1, or 0 for a size that is not positive. */
DPL_EXPORT int DPLSetPageDimensions(int instanceId, double width, double height);

/* Chooses the corner that drawing coordinates are measured from: 0 bottom-left (y upwards),
 * 1 top-left (y downwards). It holds for the instance until changed. Returns 1, 0 for any
 * other value. */
DPL_EXPORT int DPLSetOrigin(int instanceId, int origin);

/* ---- Images ------------------------------------------------------------------------------- */

/* The number of images in the file (pages of a TIFF, frames of a GIF, 1 for the other
 * formats); 0 when the file cannot be read or is not an image of a known format. */
DPL_EXPORT int DPLGetImagePageCount(int instanceId, const char16_t* fileName);

/* Reads image `index` (1-based; 0 is taken as 1) of the file and keeps it in the instance.
 * Returns its id (above 0), which is also selected; 0 when it cannot be read. */
DPL_EXPORT int DPLAddImageFromFile(int instanceId, const char16_t* fileName, int index);

/* Selects the image `imageId`. Returns 1, 0 for an unknown id. */
DPL_EXPORT int DPLSelectImage(int instanceId, int imageId);

/* Width and height of the selected image in pixels; 0 when none is selected. */
DPL_EXPORT int DPLImageWidth(int instanceId);
DPL_EXPORT int DPLImageHeight(int instanceId);

/* Resolution of the selected image in dots per inch, as its file states it; 0 when the file
 * states none (or no image is selected). */
DPL_EXPORT double DPLImageHorizontalResolution(int instanceId);
DPL_EXPORT double DPLImageVerticalResolution(int instanceId);

/* Draws the selected image on the selected page, stretched over the rectangle whose corner
 * nearest the origin is (left, top) and which extends width and height away from it into the
 * page. With origin 1, DPLDrawImage(0, 0, w, h) covers a page of w x h points exactly.
 * Returns 1, 0 when there is no image or page or a size is not positive. */
DPL_EXPORT int DPLDrawImage(int instanceId, double left, double top, double width, double height);

/* Draws the selected image as large as it fits into the rectangle of DPLDrawImage keeping its
 * proportions. `hAlign`: 0 left, 1 centre, 2 right; `vAlign`: 0 top, 1 middle, 2 bottom (top
 * is the side nearest the origin); `rotate`: 0 as it is, 1 turned a quarter turn clockwise
 * when its orientation (portrait or landscape) differs from the rectangle's. Returns 1, or 0
 * as DPLDrawImage or for an alignment or rotate value out of range. */
DPL_EXPORT int DPLFitImage(int instanceId, double left, double top, double width, double height,
                           int hAlign, int vAlign, int rotate);

/* Every entry point by name, for callers that bind the library at run time. */
#define DPL_FOR_EACH_ENTRY_POINT(X) \
    X(DPLCreateLibrary)             \
    X(DPLReleaseLibrary)            \
    X(DPLLoadFromFile)              \
    X(DPLSelectedDocument)          \
    X(DPLNewDocument)               \
    X(DPLSelectDocument)            \
    X(DPLPageCount)                 \
    X(DPLCopyPageRanges)            \
    X(DPLDeletePages)               \
    X(DPLSaveToFile)                \
    X(DPLRemoveDocument)            \
    X(DPLNewPage)                   \
    X(DPLAppendBlankPages)          \
    X(DPLGetPageBox)                \
    X(DPLSetPageBox)                \
    X(DPLSetPageDimensions)         \
    X(DPLSetOrigin)                 \
    X(DPLGetImagePageCount)         \
    X(DPLAddImageFromFile)          \
    X(DPLSelectImage)               \
    X(DPLImageWidth)                \
    X(DPLImageHeight)               \
    X(DPLImageHorizontalResolution) \
    X(DPLImageVerticalResolution)   \
    X(DPLDrawImage)                 \
    X(DPLFitImage)

#ifdef __cplusplus
}
#endif

#endif /* PRINTPDF_DPL_H */
