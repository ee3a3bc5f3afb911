#include "com/EngineCommand.h"

#include <sstream>

#include "com/EngineClient.h"
#include "velmora/Version.h"

namespace com {
namespace {

// Prints the progress texts as they come and keeps the warnings for after the status.
class CommandSink final : public IProgressSink {
  public:
    explicit CommandSink(std::ostream& out) : m_out(out) {}
    void Progress(std::string_view text) override {
        if (text.empty()) return;
        m_out << text << std::flush;
        m_lineOpen = text.back() != '\n';
    }
    void Warning(std::string_view text) override { m_warnings.emplace_back(text); }
    const std::vector<std::string>& Warnings() const { return m_warnings; }

    // Ends a progress line the engine left open (a run that stopped midway), so that what is
    // printed next starts a line of its own.
    void EndLine() {
        if (m_lineOpen) m_out << '\n' << std::flush;
        m_lineOpen = false;
    }

  private:
    std::ostream& m_out;
    std::vector<std::string> m_warnings;
    bool m_lineOpen = false;
};

// Puts one "--NAME[=VALUE]" option on the engine object; an error text when it cannot be.
std::string PutOption(const EngineCommand& command, EngineClient& engine, std::string_view option) {
    std::string_view body = option.substr(2);
    size_t equals = body.find('=');
    std::string name(body.substr(0, equals));
    const PropertyContract* property = command.contract.FindProperty(name);
    if (property == nullptr) return "unknown option --" + name;
    if (equals == std::string_view::npos && property->kind == PropertyKind::Text) {
        return "--" + name + " needs a value";
    }
    std::string_view value = equals == std::string_view::npos ? "1" : body.substr(equals + 1);
    HRESULT hr = engine.Put(name, value);
    if (hr == DISP_E_TYPEMISMATCH) {
        return "--" + name + " needs a whole number, not '" + std::string(value) + "'";
    }
    if (FAILED(hr)) return "--" + name + ": " + HresultMessage(hr);
    return {};
}

// Whether the job prints its result after option `arg`: "--OPTION" or "--OPTION=N" with N
// not 0 switch printing on, "--OPTION=0" off; other options leave `printing` as it was.
bool PrintsAfter(const EngineCommand& command, std::string_view arg, bool printing) {
    std::string_view body = arg.substr(2);
    std::string_view name = body.substr(0, body.find('='));
    if (name != command.printOption) return printing;
    return name.size() == body.size() || body.substr(name.size() + 1) != "0";
}

int ReportStatus(const EngineCommand& command, const std::string& status, const std::string& output,
                 std::ostream& out, std::ostream& err) {
    if (status.empty()) {
        out << "Done: '" << output << "'\n";
        return 0;
    }
    if (command.isResultStatus != nullptr && command.isResultStatus(status, output)) {
        out << status << "\n";
        return 0;
    }
    err << command.program << ": " << status << (status.ends_with('\n') ? "" : "\n");
    return 1;
}

}  // namespace

std::string UsageText(const EngineCommand& command) {
    std::string usage =
        "usage: " + std::string(command.program) + " [--NAME=VALUE ...] INPUT OUTPUT\n";
    if (!command.printOption.empty()) {
        usage += "       " + std::string(command.program) + " --" +
                 std::string(command.printOption) + " [--NAME=VALUE ...] INPUT\n";
    }
    return usage;
}

std::string_view OptionArgument(const PropertyContract& property) {
    return property.kind == PropertyKind::Text ? "TEXT" : "N";
}

std::string HelpText(const EngineCommand& command) {
    std::ostringstream text;
    text << UsageText(command) << command.summary
         << "Every option puts one setting; a bare --NAME puts 1.\n\n";
    for (const PropertyContract& p : command.contract.properties) {
        std::string left = "  --" + std::string(p.name) + "=" + std::string(OptionArgument(p));
        text << left << std::string(left.size() < 24 ? 24 - left.size() : 1, ' ') << "(default "
             << (p.defaultText.empty() ? "empty" : std::string(p.defaultText)) << ") " << p.meaning
             << "\n";
    }
    text << "  --help                print this text\n"
         << "  --version             print the version\n"
         << "  --                    every argument after it is a name (INPUT, OUTPUT)\n\n"
         << command.epilogue;
    return text.str();
}

int RunEngineCommand(const EngineCommand& command, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err) {
    for (const std::string& arg : args) {
        if (arg == "--") break;  // names only from here on
        if (arg == "--help" || arg == "-h") {
            out << HelpText(command);
            return 0;
        }
        if (arg == "--version") {
            out << velmora::VersionLine(command.program);
            return 0;
        }
    }
    EngineClient engine(command.contract);
    if (FAILED(engine.CreationResult())) {
        err << command.program
            << ": cannot create the engine: " << HresultMessage(engine.CreationResult()) << "\n";
        return 1;
    }
    std::vector<std::string> names;
    bool optionsEnded = false;
    bool printing = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.starts_with("--") && arg.size() > 2) {
            std::string problem = PutOption(command, engine, arg);
            if (!problem.empty()) {
                err << command.program << ": " << problem << "\n" << UsageText(command);
                return 2;
            }
            if (!command.printOption.empty()) printing = PrintsAfter(command, arg, printing);
        } else {
            names.push_back(arg);
        }
    }
    if (names.size() != (printing ? 1u : 2u)) {
        err << UsageText(command);
        return 2;
    }
    if (printing) names.emplace_back();
    CommandSink sink(printing ? err : out);
    if (HRESULT hr = engine.SetProgressSink(&sink); FAILED(hr)) {
        err << command.program << ": " << HresultMessage(hr) << "\n";
        return 1;
    }
    std::string status;
    HRESULT hr = engine.RunJob(names, &status);
    engine.SetProgressSink(nullptr);
    sink.EndLine();
    if (FAILED(hr)) {
        err << command.program << ": " << HresultMessage(hr) << "\n";
        return 1;
    }
    int exitCode = ReportStatus(command, status, names[1], out, err);
    for (const std::string& warning : sink.Warnings()) {
        err << command.program << ": warning: " << warning << "\n";
    }
    return exitCode;
}

}  // namespace com
