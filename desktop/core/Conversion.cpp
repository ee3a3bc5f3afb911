#include "desktop/core/Conversion.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "desktop/core/ConfigFolder.h"
#include "desktop/core/KeyValueLines.h"
#include "platform/ClassicNumbers.h"
#include "platform/File.h"
#include "platform/RunAndWait.h"

namespace desktop {
namespace {

using CK = ConversionKeyKind;
using S = ConversionSettings;

const ConversionKey kKeys[] = {
    {"HTM", CK::Integer, &S::htm, nullptr, nullptr},
    {"JPEG", CK::Integer, &S::jpeg, nullptr, nullptr},
    {"TIFF", CK::Integer, &S::tiff, nullptr, nullptr},
    {"TXT", CK::Integer, &S::txt, nullptr, nullptr},
    {"WORD", CK::Integer, &S::word, nullptr, nullptr},
    {"EXCEL", CK::Integer, &S::excel, nullptr, nullptr},
    {"PDFDIR", CK::Text, nullptr, nullptr, &S::pdfDir},
    {"HTMLWIDTH", CK::Real, nullptr, &S::htmlWidth, nullptr},
    {"HTMLHEIGHT", CK::Real, nullptr, &S::htmlHeight, nullptr},
    {"HTMLMARGINS", CK::Real, nullptr, &S::htmlMargins, nullptr},
    {"HTMLZOOM", CK::Real, nullptr, &S::htmlZoom, nullptr},
    {"IMAGEWIDTH", CK::Integer, &S::imageWidth, nullptr, nullptr},
    {"IMAGEHEIGHT", CK::Integer, &S::imageHeight, nullptr, nullptr},
    {"IMAGESTRETCHTOPAGE", CK::Integer, &S::imageStretchToPage, nullptr, nullptr},
    {"IMAGEFITTOPAGE", CK::Integer, &S::imageFitToPage, nullptr, nullptr},
    {"IMAGEAUTOROTATE", CK::Integer, &S::imageAutoRotate, nullptr, nullptr},
    {"TIFFWIDTH", CK::Integer, &S::tiffWidth, nullptr, nullptr},
    {"TIFFHEIGHT", CK::Integer, &S::tiffHeight, nullptr, nullptr},
    {"TIFFSTRETCHTOPAGE", CK::Integer, &S::tiffStretchToPage, nullptr, nullptr},
    {"TIFFFITTOPAGE", CK::Integer, &S::tiffFitToPage, nullptr, nullptr},
    {"TIFFAUTOROTATE", CK::Integer, &S::tiffAutoRotate, nullptr, nullptr},
    {"TXTWIDTH", CK::Integer, &S::txtWidth, nullptr, nullptr},
    {"TXTHEIGHT", CK::Integer, &S::txtHeight, nullptr, nullptr},
    {"DOCWIDTH", CK::Integer, &S::docWidth, nullptr, nullptr},
    {"DOCHEIGHT", CK::Integer, &S::docHeight, nullptr, nullptr},
    // Added later: a file without it keeps the default.
    {"HTMLJAVASCRIPT", CK::Integer, &S::htmlJavaScript, nullptr, nullptr},
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool IsAnyOf(std::string_view text, std::initializer_list<std::string_view> options) {
    return std::find(options.begin(), options.end(), text) != options.end();
}

bool EndsWithAny(std::string_view text, std::initializer_list<std::string_view> endings) {
    return std::any_of(endings.begin(), endings.end(),
                       [text](std::string_view ending) { return text.ends_with(ending); });
}

enum class UrlEnding { Web, NotWeb, Other };

UrlEnding ClassifyUrlEnding(std::string_view lower) {
    if (EndsWithAny(lower, {".htm", ".html", ".asp", ".aspx", ".php", "/", ".com"})) {
        return UrlEnding::Web;
    }
    if (EndsWithAny(lower, {".doc", ".docx", ".rtf", ".docm", ".jpg", ".jpeg", ".png",
                            ".gif", ".emf",  ".wmf", ".psd",  ".bmp", ".pdf",  ".pdfx",
                            ".txt", ".zip",  ".rar", ".gz",   ".7z",  ".url"})) {
        return UrlEnding::NotWeb;
    }
    return UrlEnding::Other;
}

bool ExtensionIs(ConversionKind kind, std::string_view extension) {
    switch (kind) {
        case ConversionKind::WebPage:
            return IsAnyOf(extension, {".htm", "html"});
        case ConversionKind::Image:
            return IsAnyOf(extension, {".jpg", "jpeg", ".bmp", ".png", ".gif", ".wmf", ".emf"});
        case ConversionKind::Text:
            return IsAnyOf(extension, {".txt", "text"});
        case ConversionKind::WordProcessor:
            return IsAnyOf(extension, {".doc", "docx", "docm", ".rtf", ".odt"});
        case ConversionKind::Spreadsheet:
            return IsAnyOf(extension, {".csv", ".xls", "xlsx", "xlsm", ".ods"});
        case ConversionKind::Tiff:
            return IsAnyOf(extension, {".tif", "tiff"});
        case ConversionKind::Any:
            break;
    }
    return false;
}

std::string Fixed(double value) {
    platform::ClassicNumbers classic;
    char text[512];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

ProgramCall WebPageCall(const std::string& input, const std::string& output,
                        const ConversionSettings& settings) {
    // Options first: zoom, then margins, then the page size; the two quoted names last.
    CallBuilder call;
    if (settings.htmlZoom != 0 && settings.htmlZoom != 100) {
        std::string zoom = Fixed(settings.htmlZoom * 0.01);
        call.Option(" --zoom", "--zoom");
        call.Option(" " + zoom, zoom);
    }
    if (settings.htmlMargins > 0) {
        std::string margin = Fixed(settings.htmlMargins);
        for (std::string_view side : {"bottom", "top", "left", "right"}) {
            std::string option = "--margin-" + std::string(side);
            call.Option(" " + option, option);
            call.Option(" " + margin, margin);
        }
    }
    if (settings.htmlWidth > 0 && settings.htmlHeight > 0) {
        std::string width = Fixed(settings.htmlWidth);
        std::string height = Fixed(settings.htmlHeight);
        call.Option(" --page-width", "--page-width");
        call.Option(" " + width, width);
        call.Option(" --page-height", "--page-height");
        call.Option(" " + height, height);
    }
    if (settings.htmlJavaScript != 0) call.Option(" --enable-javascript", "--enable-javascript");
    call.EndOfOptions();
    // The names follow the options after one blank (none when there are no options). A web
    // address is no file name and goes as it is.
    std::string_view separator = call.Empty() ? "" : " ";
    if (IsWebAddress(input)) {
        call.Option(std::string(separator) + "\"" + input + "\"", input);
    } else {
        call.File(separator, input);
    }
    call.File("  ", output);
    return call.Build(std::string(OutsideProgram::kWebPage));
}

CallBuilder InputOutputOptions(const std::string& input, const std::string& output) {
    CallBuilder call;
    call.GluedFile("", "-i", input);
    call.GluedFile("  ", "-o", output);
    return call;
}

void NumberOption(CallBuilder& call, std::string_view option, int value) {
    std::string argument = std::string(option) + std::to_string(value);
    call.Option(" " + argument, argument);
}

ProgramCall ImageCall(std::string program, const std::string& input, const std::string& output,
                      int width, int height, int autoRotate, int fitToPage, int stretchToPage) {
    CallBuilder call = InputOutputOptions(input, output);
    NumberOption(call, "-w", width);
    NumberOption(call, "-h", height);
    NumberOption(call, "-a", autoRotate);
    if (fitToPage == 1) {
        call.Option(" -f1", "-f1");
    } else if (stretchToPage == 1) {
        call.Option(" -f0", "-f0");
    }
    return call.Build(std::move(program));
}

ProgramCall PageSizeCall(const std::string& input, const std::string& output, int width,
                         int height) {
    CallBuilder call = InputOutputOptions(input, output);
    NumberOption(call, "-w", width);
    NumberOption(call, "-h", height);
    return call.Build(std::string(OutsideProgram::kTextAndDocument));
}

ProgramCall SpreadsheetCall(const std::string& input, const std::string& output) {
    CallBuilder call;
    call.EndOfOptions();
    call.File("", input);
    call.File("  ", output);
    return call.Build(std::string(OutsideProgram::kSpreadsheet));
}

// The request the office converter of `call` sends to the office server for these names.
OfficeRequest ForwardedRequest(const ProgramCall& call, const std::string& input,
                               const std::string& output, int width, int height) {
    return {call.program, platform::FileArgument(input), platform::FileArgument(output), width,
            height};
}

std::string RealText(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

}  // namespace

std::span<const ConversionKey> ConversionKeys() {
    return kKeys;
}

std::string ConversionIniText(const ConversionSettings& settings) {
    std::string text;
    for (const ConversionKey& row : kKeys) {
        text += row.key;
        text += ';';
        switch (row.kind) {
            case CK::Integer:
                text += std::to_string(settings.*row.integer);
                break;
            case CK::Real:
                text += RealText(settings.*row.real);
                break;
            case CK::Text: {
                // A line cannot carry a line break.
                const std::string& value = settings.*row.text;
                text += value.substr(0, value.find_first_of("\r\n"));
                break;
            }
        }
        text += '\n';
    }
    return text;
}

std::vector<std::string> ParseConversionIni(std::string_view text, ConversionSettings& settings) {
    settings = ConversionSettings{};
    std::vector<std::string> refused;
    ForEachKeyValue(text, [&](const KeyValueLine& line) {
        auto row = std::find_if(std::begin(kKeys), std::end(kKeys),
                                [&](const ConversionKey& each) { return each.key == line.key; });
        if (row == std::end(kKeys)) return;
        std::string_view given = line.value.value_or(std::string_view{});
        if (given.size() > kMaxValueLength) {
            refused.push_back(TooLongMessage(FileLinePlace(kConversionIniName, line.number),
                                             "the value of " + std::string(line.key)));
            return;
        }
        switch (row->kind) {
            case CK::Integer:
                settings.*row->integer = ReadInteger(given);
                break;
            case CK::Real:
                settings.*row->real = ReadReal(given);
                break;
            case CK::Text:
                settings.*row->text = std::string(given);
                break;
        }
    });
    return refused;
}

bool ReadConversionIni(const std::string& path, ConversionSettings& settings,
                       std::vector<std::string>* refused) {
    settings = ConversionSettings{};
    std::optional<std::string> text = ReadTextFile(path);
    if (!text) return false;
    std::vector<std::string> messages = ParseConversionIni(*text, settings);
    if (refused != nullptr) *refused = std::move(messages);
    return true;
}

bool WriteConversionIni(const std::string& path, const ConversionSettings& settings) {
    return WriteTextFileCrLf(path, ConversionIniText(settings));
}

std::string ConversionExtension(std::string_view name) {
    return Lower(name.size() > 4 ? name.substr(name.size() - 4) : name);
}

bool IsWebAddress(std::string_view name) {
    std::string lower = Lower(name.substr(0, 6));
    return lower.starts_with("http:") || lower.starts_with("https:");
}

bool UrlIsWebPage(std::string_view url) {
    std::string lower = Lower(url);
    switch (ClassifyUrlEnding(lower)) {
        case UrlEnding::Web:
            return true;
        case UrlEnding::NotWeb:
            return false;
        case UrlEnding::Other:
            break;
    }
    if (lower.size() <= 6 || lower.find('?', 6) == std::string::npos) return true;
    return ClassifyUrlEnding(std::string_view(lower).substr(0, lower.rfind('?'))) !=
           UrlEnding::NotWeb;
}

bool NeedsConversion(std::string_view extension, std::string_view name, ConversionKind kind) {
    bool webTested = kind == ConversionKind::Any || kind == ConversionKind::WebPage;
    if (IsWebAddress(name)) return webTested && UrlIsWebPage(name);
    if (kind != ConversionKind::Any) return ExtensionIs(kind, extension);
    for (ConversionKind each :
         {ConversionKind::WebPage, ConversionKind::Image, ConversionKind::Text,
          ConversionKind::WordProcessor, ConversionKind::Spreadsheet, ConversionKind::Tiff}) {
        if (ExtensionIs(each, extension)) return true;
    }
    return false;
}

std::optional<ConversionKind> MatchingConversionKind(const std::string& inputName) {
    std::string extension = ConversionExtension(inputName);
    for (ConversionKind kind :
         {ConversionKind::WebPage, ConversionKind::Image, ConversionKind::Tiff,
          ConversionKind::Text, ConversionKind::WordProcessor, ConversionKind::Spreadsheet}) {
        if (NeedsConversion(extension, inputName, kind)) return kind;
    }
    return std::nullopt;
}

InputRoute RouteOfInput(const std::string& input, const ConversionSettings& settings) {
    if (platform::StartsAsPdf(input)) return InputRoute::AsIs;
    std::string extension = ConversionExtension(input);
    std::optional<ConversionKind> kind = MatchingConversionKind(input);
    if (!kind && extension != ".pdf") return InputRoute::NoConverter;
    if (!NeedsConversion(extension, input, ConversionKind::Any)) return InputRoute::AsIs;
    if (kind && !ConversionSwitchedOn(*kind, settings)) return InputRoute::AsIs;
    return InputRoute::Convert;
}

bool ConversionSwitchedOn(ConversionKind kind, const ConversionSettings& settings) {
    switch (kind) {
        case ConversionKind::WebPage:
            return settings.htm != 0;
        case ConversionKind::Image:
            return settings.jpeg != 0;
        case ConversionKind::Tiff:
            return settings.tiff != 0;
        case ConversionKind::Text:
            return settings.txt != 0;
        case ConversionKind::WordProcessor:
            return settings.word != 0;
        case ConversionKind::Spreadsheet:
            return settings.excel != 0;
        case ConversionKind::Any:
            break;
    }
    return false;
}

std::optional<ConversionPlan> PlanConversion(const std::string& inputName,
                                             const ConversionSettings& settings,
                                             const std::string& tempFolder) {
    std::optional<ConversionKind> kind = MatchingConversionKind(inputName);
    if (!kind) return std::nullopt;

    ConversionPlan plan;
    plan.kind = *kind;
    plan.outputName = tempFolder + FileTitle(inputName) + ".pdf";
    const std::string& out = plan.outputName;
    const ConversionSettings& s = settings;
    switch (*kind) {
        case ConversionKind::WebPage:
            plan.call = WebPageCall(inputName, out, s);
            break;
        case ConversionKind::Image:
            plan.call =
                ImageCall(std::string(OutsideProgram::kImage), inputName, out, s.imageWidth,
                          s.imageHeight, s.imageAutoRotate, s.imageFitToPage, s.imageStretchToPage);
            break;
        case ConversionKind::Tiff:
            plan.call =
                ImageCall(std::string(OutsideProgram::kTiff), inputName, out, s.tiffWidth,
                          s.tiffHeight, s.tiffAutoRotate, s.tiffFitToPage, s.tiffStretchToPage);
            break;
        case ConversionKind::Text:
            plan.call = PageSizeCall(inputName, out, s.txtWidth, s.txtHeight);
            plan.officeRequest =
                ForwardedRequest(plan.call, inputName, out, s.txtWidth, s.txtHeight);
            break;
        case ConversionKind::WordProcessor:
            plan.call = PageSizeCall(inputName, out, s.docWidth, s.docHeight);
            plan.officeRequest =
                ForwardedRequest(plan.call, inputName, out, s.docWidth, s.docHeight);
            break;
        case ConversionKind::Spreadsheet:
            plan.call = SpreadsheetCall(inputName, out);
            plan.officeRequest = ForwardedRequest(plan.call, inputName, out, 0, 0);
            break;
        case ConversionKind::Any:
            break;
    }
    return plan;
}

}  // namespace desktop
