// Converting inputs that are not PDF: the conversion settings and "conversion.ini", the test
// whether a name needs conversion, and the decision which converter runs with which
// parameters. Starting the converter and judging its output is the pipeline's part.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/core/OfficeRequest.h"
#include "desktop/core/ProgramCall.h"

namespace desktop {

// One record, owned by the main window. Sizes are in points (0: "as is"), the web page's in
// millimetres. The six convert flags switch the conversion of their kinds; PDFDIR, when not
// empty, names a folder that keeps a copy of every converted PDF.
struct ConversionSettings {
    int htm = 1;                 // HTM
    int jpeg = 1;                // JPEG
    int tiff = 1;                // TIFF
    int txt = 1;                 // TXT
    int word = 1;                // WORD
    int excel = 1;               // EXCEL
    std::string pdfDir;          // PDFDIR
    double htmlWidth = 0;        // HTMLWIDTH, mm
    double htmlHeight = 0;       // HTMLHEIGHT, mm
    double htmlMargins = 0;      // HTMLMARGINS, mm, all four margins
    double htmlZoom = 100;       // HTMLZOOM, per cent
    int imageWidth = 0;          // IMAGEWIDTH
    int imageHeight = 0;         // IMAGEHEIGHT
    int imageStretchToPage = 0;  // IMAGESTRETCHTOPAGE
    int imageFitToPage = 0;      // IMAGEFITTOPAGE
    int imageAutoRotate = 0;     // IMAGEAUTOROTATE
    int tiffWidth = 0;           // TIFFWIDTH
    int tiffHeight = 0;          // TIFFHEIGHT
    int tiffStretchToPage = 0;   // TIFFSTRETCHTOPAGE
    int tiffFitToPage = 0;       // TIFFFITTOPAGE
    int tiffAutoRotate = 0;      // TIFFAUTOROTATE
    int txtWidth = 0;            // TXTWIDTH
    int txtHeight = 0;           // TXTHEIGHT
    int docWidth = 0;            // DOCWIDTH
    int docHeight = 0;           // DOCHEIGHT
    int htmlJavaScript = 0;      // HTMLJAVASCRIPT: web pages run their scripts

    bool operator==(const ConversionSettings&) const = default;
};

enum class ConversionKeyKind { Integer, Real, Text };

struct ConversionKey {
    std::string_view key;  // "HTMLZOOM"
    ConversionKeyKind kind;
    int ConversionSettings::*integer;
    double ConversionSettings::*real;
    std::string ConversionSettings::*text;
};

// Every key in file order (HTM first, DOCHEIGHT, then keys added since, last).
std::span<const ConversionKey> ConversionKeys();

// The file text: "KEY;value\r\n" per key; integers in decimal, reals in the shortest default
// stream form (100 is "100", 0.5 is "0.5").
std::string ConversionIniText(const ConversionSettings& settings);

// Resets `settings` to the defaults, then reads the text over them. A value longer than 254
// characters is refused (the key keeps its default); the result holds a message for each.
std::vector<std::string> ParseConversionIni(std::string_view text, ConversionSettings& settings);

inline constexpr std::string_view kCantOpenConversionIni = "Can't open conversion.ini file.";
inline constexpr std::string_view kCannotWriteConversionIni = "Cannot open conversion.ini file";

// Defaults, then the file at `path` over them; false (defaults kept) when it cannot be read:
// the caller shows kCantOpenConversionIni. The messages of refused values go to `refused`.
bool ReadConversionIni(const std::string& path, ConversionSettings& settings,
                       std::vector<std::string>* refused = nullptr);

// Writes the file; false when it cannot be created: the caller shows kCannotWriteConversionIni.
bool WriteConversionIni(const std::string& path, const ConversionSettings& settings);

enum class ConversionKind { Any, WebPage, Image, Tiff, Text, WordProcessor, Spreadsheet };

// The extension as the pipeline compares it: the last four characters in lower case (the whole
// name when it is shorter).
std::string ConversionExtension(std::string_view name);

// True when `name` begins with "http:" or "https:" in any case.
bool IsWebAddress(std::string_view name);

// The rule for a web address: true when it names a web page (by its ending, or the ending just
// before its query), false when it names a document, an image or an archive.
bool UrlIsWebPage(std::string_view url);

// Whether an input needs conversion, as `kind` or (Any) as any kind. A web address is decided by
// the URL rule alone, and only for Any and WebPage.
bool NeedsConversion(std::string_view extension, std::string_view name, ConversionKind kind);

// The kind an input converts as: the first that matches in the order web page, image, TIFF,
// text, word processor, spreadsheet; nullopt when none does.
std::optional<ConversionKind> MatchingConversionKind(const std::string& inputName);

// Whether the settings let inputs of `kind` be converted: the flags HTM (web pages), JPEG
// (images), TIFF, TXT, WORD and EXCEL.
bool ConversionSwitchedOn(ConversionKind kind, const ConversionSettings& settings);

// How a job takes its input: as it is (a PDF by its content whatever its name says, a name no
// conversion matches, or a kind whose conversion is switched off, so that the engine says what
// it makes of it), converted to PDF first, or not at all (no PDF by content or name, and of a
// kind no converter takes). The run and the preview both ask this.
enum class InputRoute { AsIs, Convert, NoConverter };
InputRoute RouteOfInput(const std::string& input, const ConversionSettings& settings);

// A planned conversion: the kind that matched, the converter call and the PDF it writes.
struct ConversionPlan {
    ConversionKind kind = ConversionKind::Any;
    ProgramCall call;
    std::string outputName;  // tempFolder + title + ".pdf"
    // For the converters that only forward to the office server: their request to it.
    std::optional<OfficeRequest> officeRequest;

    bool operator==(const ConversionPlan&) const = default;
};

// The kinds are tried in the order web page, image, TIFF, text, word processor, spreadsheet;
// the first that matches converts. nullopt when none matches. `tempFolder` ends with '/'.
std::optional<ConversionPlan> PlanConversion(const std::string& inputName,
                                             const ConversionSettings& settings,
                                             const std::string& tempFolder);

}  // namespace desktop
