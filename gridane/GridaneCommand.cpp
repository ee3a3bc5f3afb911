#include "gridane/GridaneCommand.h"

#include <charconv>
#include <optional>
#include <sstream>

#include "gridane/GridaneCom.h"
#include "gridane/PropertyTable.h"

namespace gridane {
namespace {

constexpr std::string_view kUsage = "usage: gridane [--NAME=VALUE ...] INPUT OUTPUT\n";

std::optional<int32_t> WholeNumber(std::string_view text) {
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// Puts one "--NAME[=VALUE]" option; an error text when it cannot be.
std::string PutOption(GridaneCom& settings, std::string_view option) {
    std::string_view body = option.substr(2);
    size_t equals = body.find('=');
    std::string name(body.substr(0, equals));
    const PropertyInfo* property = FindProperty(name);
    if (property == nullptr) return "unknown option --" + name;
    if (equals == std::string_view::npos) {
        if (property->kind == PropertyKind::Text) return "--" + name + " needs a value";
        settings.PutProperty(name, 1);
        return {};
    }
    std::string_view value = body.substr(equals + 1);
    if (property->kind == PropertyKind::Text) {
        settings.PutProperty(name, std::string(value));
        return {};
    }
    std::optional<int32_t> number = WholeNumber(value);
    if (!number) return "--" + name + " needs a whole number, not '" + std::string(value) + "'";
    settings.PutProperty(name, *number);
    return {};
}

}  // namespace

std::string GridaneHelpText() {
    std::ostringstream text;
    text << kUsage
         << "Imposes the pages of INPUT (a PDF file, or a list of them in a .txt file) on sheets\n"
            "and writes OUTPUT. Every option puts one setting; a bare --NAME puts 1.\n\n";
    for (const PropertyInfo& p : GridaneProperties()) {
        std::string left = "  --" + std::string(p.name) + "=";
        left += p.kind == PropertyKind::Text ? "TEXT" : "N";
        text << left << std::string(left.size() < 24 ? 24 - left.size() : 1, ' ') << "(default "
             << (p.defaultText.empty() ? "empty" : std::string(p.defaultText)) << ") " << p.meaning
             << "\n";
    }
    return text.str();
}

int RunGridaneCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    GridaneCom settings;
    settings.SetProgressStream(&out);
    std::vector<std::string> names;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << GridaneHelpText();
            return 0;
        }
        if (arg.starts_with("--")) {
            std::string problem = PutOption(settings, arg);
            if (!problem.empty()) {
                err << "gridane: " << problem << "\n" << kUsage;
                return 2;
            }
        } else {
            names.push_back(arg);
        }
    }
    if (names.size() != 2) {
        err << kUsage;
        return 2;
    }
    std::string status = settings.getGridaneFile(names[0], names[1]);
    if (status.empty()) {
        out << "Done: '" << names[1] << "'\n";
        return 0;
    }
    if (status.find("temp") != std::string::npos) {
        out << status << "\n";
        return 0;
    }
    err << "gridane: " << status << (status.ends_with('\n') ? "" : "\n");
    return 1;
}

}  // namespace gridane
