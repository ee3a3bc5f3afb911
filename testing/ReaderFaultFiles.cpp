#include "testing/ReaderFaultFiles.h"

#include <cctype>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace testing_support {

namespace {

std::string TenDigits(long value) {
    std::string text = std::to_string(value);
    return std::string(10 - text.size(), '0') + text;
}

// "N/0: uncompressed; offset = O" and "N/0: compressed; stream = S, index = I" lines of
// qpdf --show-xref.
std::map<int, std::string> QpdfXRefLines(const std::string& pdf) {
    CommandResult shown = Run("qpdf --show-xref " + ShellQuote(pdf));
    if (shown.exitCode != 0) throw std::runtime_error(shown.output);
    std::map<int, std::string> lines;
    std::istringstream in(shown.output);
    for (std::string line; std::getline(in, line);) {
        size_t slash = line.find('/');
        if (slash != std::string::npos && slash > 0 && std::isdigit(line[0])) {
            lines[std::stoi(line.substr(0, slash))] = line;
        }
    }
    return lines;
}

}  // namespace

int AddEntriesLeadingToOtherObjects(const std::string& pdf, const std::vector<int>& targets,
                                    const std::string& out) {
    std::string bytes = ReadWholeFile(pdf);
    std::smatch table;
    if (!std::regex_search(bytes, table, std::regex("xref\\r?\\n0 ([0-9]+)\\r?\\n"))) {
        throw std::runtime_error("no classic table in " + pdf);
    }
    const int size = std::stoi(table[1]);
    const size_t entriesAt = static_cast<size_t>(table.position(0) + table.length(0));
    const size_t entriesEnd = entriesAt + static_cast<size_t>(size) * 20;
    std::map<int, std::string> xref = QpdfXRefLines(pdf);
    std::string added;
    for (int target : targets) {
        std::smatch offset;
        if (!std::regex_search(xref[target], offset, std::regex("offset = ([0-9]+)"))) {
            throw std::runtime_error("object " + std::to_string(target) + " has no offset");
        }
        added += TenDigits(std::stol(offset[1])) + " 00000 n\r\n";
    }
    std::string header =
        "xref\n0 " + std::to_string(size + static_cast<int>(targets.size())) + "\n";
    std::string result = bytes.substr(0, static_cast<size_t>(table.position(0))) + header +
                         bytes.substr(entriesAt, entriesEnd - entriesAt) + added +
                         bytes.substr(entriesEnd);
    // The trailer's Size follows; startxref still points at "xref".
    result = std::regex_replace(result, std::regex("/Size " + std::to_string(size) + "\\b"),
                                "/Size " + std::to_string(size + static_cast<int>(targets.size())),
                                std::regex_constants::format_first_only);
    WriteWholeFile(out, result);
    return size;
}

void ObjectStreamsWithUpdate(const std::string& pdf, const std::string& out) {
    const std::string packed = out + ".packed.pdf";
    MustRun("qpdf --object-streams=generate " + ShellQuote(pdf) + " " + ShellQuote(packed));
    std::string bytes = ReadWholeFile(packed);
    size_t startxref = bytes.rfind("startxref");
    const long previous = std::stol(bytes.substr(startxref + 9));
    std::smatch root;
    std::regex_search(bytes, root, std::regex("/Root ([0-9]+) 0 R"));
    int size = 0;
    std::string update = "\n";
    std::string table;
    for (const auto& [number, line] : QpdfXRefLines(packed)) {
        size = std::max(size, number + 1);
        if (line.find(": compressed") == std::string::npos) continue;
        CommandResult object =
            Run("qpdf --show-object=" + std::to_string(number) + " " + ShellQuote(packed));
        if (object.exitCode != 0) throw std::runtime_error(object.output);
        long offset = static_cast<long>(bytes.size() + update.size());
        update += std::to_string(number) + " 0 obj\n" + object.output + "\nendobj\n";
        table += std::to_string(number) + " 1\n" + TenDigits(offset) + " 00000 n\r\n";
    }
    long tableAt = static_cast<long>(bytes.size() + update.size());
    update += "xref\n" + table + "trailer\n<< /Size " + std::to_string(size) + " /Root " +
              root[1].str() + " 0 R /Prev " + std::to_string(previous) + " >>\nstartxref\n" +
              std::to_string(tableAt) + "\n%%EOF\n";
    WriteWholeFile(out, bytes + update);
}

void EncodeContentStreams(const std::string& pdf, const std::vector<std::string>& chains,
                          const std::string& out) {
    const std::string qdf = out + ".qdf";
    MustRun("qpdf --qdf --object-streams=disable " + ShellQuote(pdf) + " " + ShellQuote(qdf));
    std::string command = "python3 " +
                          ShellQuote(SourceDir() + "/testing/scripts/encode_content_streams.py") +
                          " " + ShellQuote(qdf) + " " + ShellQuote(out);
    for (const std::string& chain : chains) command += " " + ShellQuote(chain);
    MustRun(command);
}

}  // namespace testing_support
