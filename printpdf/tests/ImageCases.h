// Image files of every kind the library reads, made with real tools from one test picture,
// with what the library should report and embed for each. Shared by the reader's tests and
// the rendering tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "testing/Scratch.h"

namespace printpdf_tests {

struct ImageCase {
    std::string name;
    std::string fileName;
    // Shell command making the file: {base} is a 600 x 400 RGB PNG at 150 dpi, {g4} a bilevel
    // CCITT G4 TIFF of it, {rgbtif} an uncompressed RGB TIFF of it, {out} the file to make.
    std::string command;
    std::string filter;      // expected /Filter of the embedded image
    std::string colorSpace;  // expected colour space name
    int bitsPerComponent;
    double resolution;  // expected dpi, 0 for none
    bool softMask = false;
};

const std::vector<ImageCase>& ImageCases();

// Test names in GoogleTest's reports.
inline void PrintTo(const ImageCase& imageCase, std::ostream* out) { *out << imageCase.name; }

// Makes the three source pictures and every case's file in `dir` (once per process).
class ImageFiles {
public:
    static ImageFiles& Get();
    std::string Path(const ImageCase& imageCase) const { return m_dir.File(imageCase.fileName); }
    std::string Base() const { return m_dir.File("base.png"); }
    const testing_support::ScratchDir& Dir() const { return m_dir; }

private:
    ImageFiles();
    testing_support::ScratchDir m_dir;
};

}  // namespace printpdf_tests
