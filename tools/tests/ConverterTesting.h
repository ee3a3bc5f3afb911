// Helpers for the tests of the converter programs: the inputs every test converts, made once
// by real producers, and the checks made on every PDF a converter writes.
#pragma once

#include <string>
#include <vector>

#include "testing/Image.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace converter_testing {

// Mean pixel difference (0..255) below which two renders show the same picture.
constexpr double kSamePicture = 12.0;

// The non-ASCII line of greeting.txt.
constexpr const char* kGreeting = "Grüße aus Köln: ½ Maß Bier für 3 € — ñandú";

// The inputs, made in a folder of their own that lives as long as the object:
//   three-pages.docx, two-pages.odt, sheet.xlsx, drawing.wmf, drawing.emf, macro.odt
//     (LibreOffice; see make_office_inputs.py),
//   page.html ("Velmora web page" over "web picture.png", a black 200 x 100 picture),
//   greeting.txt (kGreeting), fruit.csv (a table of fruit with "Kumquat", "Crème brûlée"),
//   photo.jpg, transparent.png, bitmap.bmp (200 x 100 pixels at 100 dpi), drawing.gif
//     (200 x 100 pixels, no resolution) (ImageMagick).
// The temporary folder ($TMPDIR) is pointed at a fresh folder too, so that what the
// converters leave there can be checked.
class ConverterInputs {
  public:
    ConverterInputs();
    ~ConverterInputs();
    std::string File(const std::string& name) const { return m_inputs.File(name); }

  private:
    testing_support::ScratchDir m_temporary;
    testing_support::ScratchDir m_inputs;
    std::string m_oldTemporary;
};

// The inputs every test of this program shares, made on first use.
const ConverterInputs& Inputs();

// The shell command running build/bin/`program` with `arguments`, each quoted for the shell.
std::string ConverterCommand(const std::string& program, const std::vector<std::string>& arguments);
testing_support::CommandResult RunConverter(const std::string& program,
                                            const std::vector<std::string>& arguments);

// qpdf --check without errors and `pages` pages.
void ExpectGoodPdf(const std::string& pdf, int pages);
void ExpectPageSize(const std::string& pdf, int page, double width, double height);

// No private folder of a converter (nor LibreOffice's profile in it) left in the temporary
// folder.
void ExpectNoConverterLeftovers();

// A web server on 127.0.0.1 (tools/tests/counting_server.py) serving `folder`, that counts the
// requests it gets; ended with the object.
class LocalWebServer {
  public:
    explicit LocalWebServer(const std::string& folder);
    ~LocalWebServer();
    LocalWebServer(const LocalWebServer&) = delete;
    LocalWebServer& operator=(const LocalWebServer&) = delete;
    // "http://127.0.0.1:PORT/" + path.
    std::string Url(const std::string& path) const;
    // One line per request: "GET /path".
    std::string Requests() const;

  private:
    testing_support::ScratchDir m_dir;
    int m_pid = -1;
    int m_port = 0;
};

// The box around the dark pixels (darker than 128) of a render; right < left when none.
struct DarkBounds {
    int left, top, right, bottom;
};
DarkBounds FindDarkBounds(const testing_support::Image& image);

// The metafile test picture at width x height: white, its left half black.
testing_support::Image HalfBlackBox(int width, int height);

}  // namespace converter_testing
