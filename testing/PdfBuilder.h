// Hand-made PDF files for tests that need a structure no producer writes on request
// (attributes inherited from inner page-tree nodes, generations other than 0, bytes before
// the header): objects given as text, numbered from 1, with a correct classic
// cross-reference table computed here.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct PdfObjectText {
    std::string body;     // what stands between "n g obj" and "endobj"
    int generation = 0;
};

// The bytes of a PDF whose object n is objects[n - 1], with /Root `rootNumber`. `prefix`
// goes before the "%PDF-" header (offsets then count from the header, as readers expect).
std::string BuildPdf(const std::vector<PdfObjectText>& objects, int rootNumber,
                     const std::string& prefix = {});

// A content stream object body drawing `text` big at (x, y) and a frame of w x h.
std::string TextPageContent(const std::string& text, int x, int y, int w, int h);

}  // namespace testing_support
