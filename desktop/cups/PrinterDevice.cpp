#include "desktop/cups/PrinterDevice.h"

#include <charconv>
#include <cstdio>

#include "desktop/core/SheetSettings.h"

namespace desktop {

namespace {

constexpr std::string_view kQueuePrefix = "velmora://queue/";
constexpr std::string_view kFolderPrefix = "velmora://folder/";
constexpr std::string_view kSetupQuery = "setup=";

bool IsUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string PercentEncode(std::string_view text, bool keepSlashes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : text) {
        if (IsUnreserved(c) || (keepSlashes && c == '/')) {
            encoded += c;
        } else {
            auto byte = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 15];
        }
    }
    return encoded;
}

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size()) return std::nullopt;
        auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (error != std::errc() || end != text.data() + i + 3 || value == 0) return std::nullopt;
        decoded += static_cast<char>(value);
        i += 2;
    }
    return decoded;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

bool IsPpdKeyword(std::string_view word) {
    if (word.empty() || word.size() > 40) return false;
    for (char c : word) {
        if (!IsUnreserved(c) && c != '+') return false;
    }
    return true;
}

// The text between the first pair of double quotes after `from` on its line.
std::string_view QuotedValue(std::string_view line) {
    size_t open = line.find('"');
    size_t close = open == std::string_view::npos ? open : line.find('"', open + 1);
    if (close == std::string_view::npos) return {};
    return line.substr(open + 1, close - open - 1);
}

}  // namespace

std::optional<DeviceTarget> ParseDeviceUri(std::string_view uri, std::string* error) {
    DeviceTarget target;
    std::string_view rest;
    if (StartsWith(uri, kQueuePrefix)) {
        rest = uri.substr(kQueuePrefix.size());
    } else if (StartsWith(uri, kFolderPrefix)) {
        target.kind = DeviceTarget::Kind::Folder;
        rest = uri.substr(kFolderPrefix.size());
    } else {
        *error = "the device URI is neither velmora://queue/QUEUE nor velmora://folder/PATH";
        return std::nullopt;
    }
    size_t question = rest.find('?');
    std::string_view query = question == std::string_view::npos ? "" : rest.substr(question + 1);
    std::optional<std::string> name = PercentDecode(rest.substr(0, question));
    if (!name || name->empty()) {
        *error = "the device URI names no queue or folder";
        return std::nullopt;
    }
    target.name = target.kind == DeviceTarget::Kind::Folder ? "/" + *name : *name;
    if (target.kind == DeviceTarget::Kind::Queue && !IsQueueName(target.name)) {
        *error = "the device URI's queue name is not one a print queue can have";
        return std::nullopt;
    }
    if (!query.empty()) {
        std::optional<std::string> setup;
        if (StartsWith(query, kSetupQuery)) setup = PercentDecode(query.substr(kSetupQuery.size()));
        if (!setup || setup->empty() || (*setup)[0] != '/') {
            *error = "the device URI's setup must be setup=ABSOLUTE-FILE-NAME";
            return std::nullopt;
        }
        target.setup = *setup;
    }
    return target;
}

std::string DeviceUri(const DeviceTarget& target) {
    std::string uri;
    if (target.kind == DeviceTarget::Kind::Queue) {
        uri = std::string(kQueuePrefix) + PercentEncode(target.name, false);
    } else {
        std::string_view path = target.name;
        while (StartsWith(path, "/")) path.remove_prefix(1);
        uri = std::string(kFolderPrefix) + PercentEncode(path, true);
    }
    if (!target.setup.empty())
        uri += "?" + std::string(kSetupQuery) + PercentEncode(target.setup, true);
    return uri;
}

bool IsQueueName(std::string_view name) {
    if (name.empty() || name.size() > 127) return false;
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 127 || c == '/' || c == '#' || c == '\\' || c == '?' ||
            c == '\'' || c == '"') {
            return false;
        }
    }
    return true;
}

std::string BookletPpd(std::string_view description, const std::vector<Paper>& papers,
                       std::string_view defaultPaper) {
    std::vector<Paper> offered;
    for (const Paper& paper : papers) {
        if (IsPpdKeyword(paper.keyword) && paper.widthPt > 0 && paper.heightPt > 0) {
            offered.push_back(paper);
        }
    }
    std::string defaultKeyword = offered.empty() ? "" : offered.front().keyword;
    for (const Paper& paper : offered) {
        if (paper.keyword == defaultPaper) defaultKeyword = paper.keyword;
    }
    std::string name;
    for (char c : description) name += (c == '"' || c < ' ') ? ' ' : c;
    std::string ppd =
        "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
        "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"VELMORA.PPD\"\n"
        "*Manufacturer: \"Velmora\"\n*Product: \"(Velmora booklet)\"\n"
        "*ModelName: \"Velmora booklet printer\"\n*ShortNickName: \"Velmora booklet\"\n"
        "*NickName: \"" +
        name +
        "\"\n"
        "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n"
        "*DefaultColorSpace: RGB\n*FileSystem: False\n*Throughput: \"1\"\n"
        "*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
        "*cupsFilter: \"application/pdf 0 -\"\n*cupsFilter: \"application/postscript 0 -\"\n";
    for (const char* option : {"PageSize", "PageRegion"}) {
        ppd += "*OpenUI *" + std::string(option) + "/Media Size: PickOne\n";
        ppd += "*OrderDependency: 10 AnySetup *" + std::string(option) + "\n";
        ppd += "*Default" + std::string(option) + ": " + defaultKeyword + "\n";
        for (const Paper& paper : offered) {
            char line[256];
            std::snprintf(line, sizeof line, "*%s %s: \"<</PageSize[%d %d]>>setpagedevice\"\n",
                          option, paper.keyword.c_str(), paper.widthPt, paper.heightPt);
            ppd += line;
        }
        ppd += "*CloseUI: *" + std::string(option) + "\n";
    }
    ppd += "*DefaultImageableArea: " + defaultKeyword + "\n";
    for (const Paper& paper : offered) {
        ppd += "*ImageableArea " + paper.keyword + ": \"0 0 " + std::to_string(paper.widthPt) +
               " " + std::to_string(paper.heightPt) + "\"\n";
    }
    ppd += "*DefaultPaperDimension: " + defaultKeyword + "\n";
    for (const Paper& paper : offered) {
        ppd += "*PaperDimension " + paper.keyword + ": \"" + std::to_string(paper.widthPt) + " " +
               std::to_string(paper.heightPt) + "\"\n";
    }
    return ppd;
}

std::optional<Paper> PpdPaper(std::string_view ppd, std::string_view keyword) {
    std::vector<Paper> papers;
    std::string defaultKeyword;
    constexpr std::string_view dimension = "*PaperDimension ";
    constexpr std::string_view defaultLine = "*DefaultPaperDimension: ";
    while (!ppd.empty()) {
        size_t end = ppd.find('\n');
        std::string_view line = ppd.substr(0, end);
        ppd = end == std::string_view::npos ? "" : ppd.substr(end + 1);
        if (StartsWith(line, defaultLine)) defaultKeyword = line.substr(defaultLine.size());
        if (!StartsWith(line, dimension)) continue;
        std::string_view rest = line.substr(dimension.size());
        Paper paper;
        paper.keyword = rest.substr(0, rest.find_first_of("/:"));
        if (std::sscanf(std::string(QuotedValue(rest)).c_str(), "%d %d", &paper.widthPt,
                        &paper.heightPt) == 2) {
            papers.push_back(paper);
        }
    }
    for (std::string_view wanted : {keyword, std::string_view(defaultKeyword)}) {
        for (const Paper& paper : papers) {
            if (!wanted.empty() && paper.keyword == wanted) return paper;
        }
    }
    if (!papers.empty()) return papers.front();
    return std::nullopt;
}

JobSetup BookletJob(const Paper& paper) {
    JobSetup job;
    job.duplex2Up = kChosen;
    job.ChooseOrder(DuplexOrder::Order8127);
    job.automaticAddBlanks = 1;
    job.dontCleanFile = 1;
    job.fitToSheet = 1;
    job.sheet = std::to_string(paper.widthPt) + "," + std::to_string(paper.heightPt) + ":landscape";
    return job;
}

}  // namespace desktop
