#include "manual/RoffPage.h"

#include <sstream>

#include "desktop/core/Conversion.h"
#include "desktop/core/JobSetup.h"
#include "velmora/Version.h"

namespace manual {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string Header(std::string_view name, int section, std::string_view purpose) {
    return ".TH " + Upper(name) + " " + std::to_string(section) + " \"\" \"Velmora DE " +
           std::string(velmora::kSuiteVersion) + "\" \"Velmora DE\"\n.SH NAME\n" +
           RoffEscaped(name) + " \\- " + RoffEscaped(purpose) + "\n";
}

// Paragraphs of `text`: its lines are filled, an empty line starts a new paragraph.
std::string Paragraphs(std::string_view text) {
    std::string out;
    bool inParagraph = false;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) {
            inParagraph = false;
            continue;
        }
        if (!inParagraph && !out.empty()) out += ".PP\n";
        inParagraph = true;
        out += RoffEscaped(line) + "\n";
    }
    return out;
}

std::string OptionTag(const ManualOption& option, std::string_view separator) {
    if (option.isArgument) return "\\fI" + RoffEscaped(option.option) + "\\fR";
    std::string tag = "\\fB" + RoffEscaped(option.option) + "\\fR";
    if (!option.argument.empty()) {
        tag += RoffEscaped(separator) + "\\fI" + RoffEscaped(option.argument) + "\\fR";
    }
    return tag;
}

std::string SeeAlso(const std::vector<std::string>& pages) {
    std::string out = ".SH SEE ALSO\n";
    for (size_t i = 0; i < pages.size(); ++i) {
        size_t open = pages[i].find('(');
        out += ".BR " + RoffEscaped(pages[i].substr(0, open)) + " " + pages[i].substr(open) +
               (i + 1 < pages.size() ? " ,\n" : "\n");
    }
    return out;
}

std::string_view KindName(desktop::KeyKind kind) {
    switch (kind) {
        case desktop::KeyKind::Text:
            return "text";
        case desktop::KeyKind::Integer:
            return "whole number";
        case desktop::KeyKind::Check:
            return "check box, 0 or 1";
        case desktop::KeyKind::SelectionFlag:
            return "option button, 0 chosen or \\-1";
        case desktop::KeyKind::DuplexSelection:
            return "option button with the duplex page order";
    }
    return "";
}

std::string ConversionDefault(const desktop::ConversionKey& key) {
    static const desktop::ConversionSettings defaults;
    std::ostringstream text;
    switch (key.kind) {
        case desktop::ConversionKeyKind::Integer:
            text << defaults.*key.integer;
            break;
        case desktop::ConversionKeyKind::Real:
            text << defaults.*key.real;
            break;
        case desktop::ConversionKeyKind::Text:
            text << ((defaults.*key.text).empty() ? std::string("empty") : defaults.*key.text);
            break;
    }
    return text.str();
}

}  // namespace

std::string RoffEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else if (c == '\n') {
            out += c;
        } else {
            if ((c == '.' || c == '\'') && (out.empty() || out.back() == '\n')) out += "\\&";
            out += c;
        }
    }
    return out;
}

std::string ProgramPage(const ProgramManual& program, const std::vector<std::string>& seeAlso) {
    std::string page = Header(program.name, 1, program.purpose);
    page += ".SH SYNOPSIS\n.B " + RoffEscaped(program.name) + "\n" + RoffEscaped(program.synopsis) +
            "\n";
    page += ".SH DESCRIPTION\n" + Paragraphs(program.description);
    page += ".SH OPTIONS\n";
    for (const ManualOption& option : program.options) {
        page += ".TP\n" + OptionTag(option, program.valueSeparator) + "\n" +
                RoffEscaped(option.text) + "\n";
        if (!option.example.empty()) {
            page += ".br\nExample: \\fB" + RoffEscaped(option.example) + "\\fR\n";
        }
    }
    if (!program.exitStatus.empty()) page += ".SH EXIT STATUS\n" + Paragraphs(program.exitStatus);
    return page + SeeAlso(seeAlso);
}

std::string SetupFilePage(const std::vector<std::string>& seeAlso) {
    std::string page = Header("velmora-setup", 5, "setup, conversion and batch list files");
    page += ".SH DESCRIPTION\n" +
            Paragraphs(
                "A setup file (.plf) holds one job of velmorade(1): one line per key, the\n"
                "key, a semicolon and the value, in the order below. Keys are compared\n"
                "whole and case-sensitively; unknown keys are ignored. Keys from SHEET on\n"
                "are written only when they differ from their defaults.\n");
    page += ".SH SETUP FILE KEYS\n";
    for (const desktop::SetupKey& key : desktop::SetupKeys()) {
        std::string defaultText = key.defaultText.empty() ? "empty" : std::string(key.defaultText);
        page += ".TP\n.B " + RoffEscaped(key.key) + "\n" + std::string(KindName(key.kind)) +
                ", default " + RoffEscaped(defaultText) + "; the control \\(lq" +
                RoffEscaped(key.label) + "\\(rq\n";
    }
    page += ".SH CONVERSION FILE\n" +
            Paragraphs(
                "conversion.ini holds the settings of the converters in the same form,\n"
                "one \"KEY;value\" line per key; sizes are in points (0: as the document\n"
                "is), the web page's in millimetres.\n");
    for (const desktop::ConversionKey& key : desktop::ConversionKeys()) {
        page += ".TP\n.B " + RoffEscaped(key.key) + "\ndefault " +
                RoffEscaped(ConversionDefault(key)) + "\n";
    }
    page += ".SH BATCH LIST FILE\n" +
            Paragraphs(
                "A batch list (.lst) holds one input file per line: the path followed by\n"
                "two \"|\". A line starting with \"~\" is a row not to use, one starting\n"
                "with \"+\" a row used without a stamp. Lines end with CR-LF; a path\n"
                "longer than 254 characters is refused, and so is a list larger than\n"
                "1 MiB.\n");
    page += ".SH FILES\n" + Paragraphs(
                                "Default.plf, conversion.ini and default.lst are in the\n"
                                "working folder when Default.plf or conversion.ini is\n"
                                "there, else in $XDG_CONFIG_HOME/velmora\n"
                                "(~/.config/velmora).\n");
    return page + SeeAlso(seeAlso);
}

}  // namespace manual
