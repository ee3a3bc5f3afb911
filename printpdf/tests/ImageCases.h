// Image files of every kind the library reads, made with real tools from one test picture,
// with what the library should report and embed for each. Shared by the reader's tests and
// the rendering tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

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
inline void PrintTo(const ImageCase& imageCase, std::ostream* out) {
    *out << imageCase.name;
}

// The case of that name; throws when there is none.
const ImageCase& CaseNamed(const std::string& name);

// The files of the cases, each made the first time a test asks for it and kept in the build
// tree, so that the many test processes CTest starts share them.
class ImageFiles {
  public:
    static ImageFiles& Get();
    std::string Path(const ImageCase& imageCase);
    std::string Path(const std::string& caseName) { return Path(CaseNamed(caseName)); }

  private:
    ImageFiles();
    std::string Make(const std::string& fileName, const std::string& command);

    std::string m_folder;
    std::string m_base;
    std::string m_g4;
    std::string m_rgbTiff;
};

}  // namespace printpdf_tests
