#include "gridane/GridaneCommand.h"

#include <sstream>

#include "com/EngineClient.h"
#include "gridane/PropertyTable.h"

namespace gridane {
namespace {

constexpr std::string_view kUsage = "usage: gridane [--NAME=VALUE ...] INPUT OUTPUT\n";

// Puts one "--NAME[=VALUE]" option on the engine object; an error text when it cannot be.
std::string PutOption(com::EngineClient& engine, std::string_view option) {
    std::string_view body = option.substr(2);
    size_t equals = body.find('=');
    std::string name(body.substr(0, equals));
    const PropertyInfo* property = FindProperty(name);
    if (property == nullptr) return "unknown option --" + name;
    if (equals == std::string_view::npos && property->kind == PropertyKind::Text) {
        return "--" + name + " needs a value";
    }
    std::string_view value = equals == std::string_view::npos ? "1" : body.substr(equals + 1);
    com::HRESULT hr = engine.Put(name, value);
    if (hr == com::DISP_E_TYPEMISMATCH) {
        return "--" + name + " needs a whole number, not '" + std::string(value) + "'";
    }
    if (com::FAILED(hr)) return "--" + name + ": " + com::HresultMessage(hr);
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
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << GridaneHelpText();
            return 0;
        }
    }
    // The engine is reached as the desktop program reaches it: a component object, created
    // by class identifier. Its progress goes to standard output.
    com::EngineClient engine(com::GridaneEngine());
    if (com::FAILED(engine.CreationResult())) {
        err << "gridane: cannot create the imposition engine: "
            << com::HresultMessage(engine.CreationResult()) << "\n";
        return 1;
    }
    std::vector<std::string> names;
    for (const std::string& arg : args) {
        if (arg.starts_with("--")) {
            std::string problem = PutOption(engine, arg);
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
    std::string status;
    if (com::HRESULT hr = engine.RunJob(names, &status); com::FAILED(hr)) {
        err << "gridane: " << com::HresultMessage(hr) << "\n";
        return 1;
    }
    out.flush();
    int exitCode = 1;
    if (status.empty()) {
        out << "Done: '" << names[1] << "'\n";
        exitCode = 0;
    } else if (status.find("temp") != std::string::npos) {
        out << status << "\n";
        exitCode = 0;
    } else {
        err << "gridane: " << status << (status.ends_with('\n') ? "" : "\n");
    }
    // What the engine got past in the inputs, after the status.
    out.flush();
    std::string warnings;
    if (com::SUCCEEDED(engine.RunWarnings(&warnings))) err << warnings;
    return exitCode;
}

}  // namespace gridane
