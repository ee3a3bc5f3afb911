// Many blank pages written after a saved document, as an update section of the file: the pages
// are made while they are written, one small dictionary each sharing one empty content stream
// and one empty resource dictionary, so their memory does not grow with their number (8 bytes
// of offset each for the cross-reference table).
//
// The document is first written whole with a classic cross-reference table, holding in its
// page tree's root the empty page-tree nodes that will take the blank pages and a /Count that
// already counts them. The update then gives those nodes again with their pages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printpdf/ImagePlacement.h"

namespace platform {
class ReplaceFile;
}

namespace printpdf {

// How many blank pages one page-tree node of the update holds.
inline constexpr int kBlankPagesPerNode = 1000;

// The end of a written document, as its last bytes tell it.
struct WrittenDocumentEnd {
    uint64_t length = 0;         // bytes written: where the update starts
    uint64_t xrefOffset = 0;     // its cross-reference table (startxref)
    int size = 0;                // its trailer's /Size: the first free object number
    std::string trailerEntries;  // the trailer's entries other than /Size, as written
};

// Read from the last bytes of a file that ends with a classic table and trailer; nullopt when
// they are not one.
std::optional<WrittenDocumentEnd> ReadWrittenDocumentEnd(std::string_view lastBytes,
                                                         uint64_t length);

struct BlankPageNodes {
    int root = 0;            // the page tree's root, the nodes' parent
    std::vector<int> nodes;  // the written empty nodes, ceil(count / kBlankPagesPerNode)
    int count = 0;           // blank pages in all
    PdfRect mediaBox;
};

// Appends the update that fills `pages.nodes` with their blank pages to `file`, which holds the
// document ending at `end`. False when a write failed.
bool WriteBlankPageUpdate(platform::ReplaceFile& file, const WrittenDocumentEnd& end,
                          const BlankPageNodes& pages);

}  // namespace printpdf
