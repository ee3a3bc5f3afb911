#include "testing/PdfBuilder.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

namespace testing_support {

PdfBuilder& PdfBuilder::Prefix(std::string bytes) {
    m_prefix = std::move(bytes);
    return *this;
}

PdfBuilder& PdfBuilder::Version(std::string version) {
    m_version = std::move(version);
    return *this;
}

PdfBuilder& PdfBuilder::Object(int number, std::string body, int generation) {
    m_objects[number] = {generation, std::move(body)};
    return *this;
}

PdfBuilder& PdfBuilder::Stream(int number, std::string dictEntries, std::string data) {
    std::string body = "<< " + dictEntries + " /Length " + std::to_string(data.size()) +
                       " >>\nstream\n" + data + "\nendstream";
    return Object(number, std::move(body));
}

std::string PdfBuilder::Body(std::map<int, long>& offsets) const {
    std::string out = "%PDF-" + m_version + "\n%\xE2\xE3\xCF\xD3\n";
    for (const auto& [number, object] : m_objects) {
        offsets[number] = static_cast<long>(out.size());
        out += std::to_string(number) + " " + std::to_string(object.first) + " obj\n" +
               object.second + "\nendobj\n";
    }
    return out;
}

static std::string TableLine(long offset, int generation, char kind) {
    char line[32];
    std::snprintf(line, sizeof line, "%010ld %05d %c \n", offset, generation, kind);
    return line;
}

std::string PdfBuilder::BuildWithTable(const std::string& trailerEntries) const {
    m_offsets.clear();
    std::string out = Body(m_offsets);
    int size = m_objects.empty() ? 1 : m_objects.rbegin()->first + 1;
    long xref = static_cast<long>(out.size());
    out += "xref\n0 " + std::to_string(size) + "\n" + TableLine(0, 65535, 'f');
    for (int n = 1; n < size; ++n) {
        auto it = m_objects.find(n);
        out += it == m_objects.end() ? TableLine(0, 0, 'f')
                                     : TableLine(m_offsets[n], it->second.first, 'n');
    }
    out += "trailer\n<< /Size " + std::to_string(size) + " " + trailerEntries + " >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return m_prefix + out;
}

std::string PdfBuilder::BuildWithXRefStream(
    int xrefNumber, const std::string& trailerEntries,
    const std::map<int, std::pair<int, int>>& compressed) const {
    m_offsets.clear();
    std::string out = Body(m_offsets);
    int size = xrefNumber + 1;
    for (const auto& [number, object] : m_objects) size = std::max(size, number + 1);
    for (const auto& [number, where] : compressed) size = std::max(size, number + 1);
    long xref = static_cast<long>(out.size());
    m_offsets[xrefNumber] = xref;
    std::string entries;
    auto put = [&](int type, long second, int third) {
        entries += static_cast<char>(type);
        for (int shift = 24; shift >= 0; shift -= 8)
            entries += static_cast<char>((second >> shift) & 0xFF);
        entries += static_cast<char>((third >> 8) & 0xFF);
        entries += static_cast<char>(third & 0xFF);
    };
    for (int n = 0; n < size; ++n) {
        auto packed = compressed.find(n);
        auto it = m_objects.find(n);
        if (packed != compressed.end()) {
            put(2, packed->second.first, packed->second.second);
        } else if (n == xrefNumber) {
            put(1, xref, 0);
        } else if (it != m_objects.end()) {
            put(1, m_offsets[n], it->second.first);
        } else {
            put(0, 0, n == 0 ? 65535 : 0);
        }
    }
    out += std::to_string(xrefNumber) + " 0 obj\n<< /Type /XRef /Size " + std::to_string(size) +
           " /W [1 4 2] " + trailerEntries + " /Length " + std::to_string(entries.size()) +
           " >>\nstream\n" + entries + "\nendstream\nendobj\nstartxref\n" + std::to_string(xref) +
           "\n%%EOF\n";
    return m_prefix + out;
}

long PdfBuilder::OffsetOf(int number) const {
    auto it = m_offsets.find(number);
    if (it == m_offsets.end()) throw std::logic_error("no such object in the last build");
    return it->second;
}

std::string PdfBuilder::AppendUpdate(const std::string& base,
                                     const std::map<int, std::string>& objects,
                                     const std::string& trailerEntries) {
    size_t at = base.rfind("startxref");
    if (at == std::string::npos) throw std::logic_error("base has no startxref");
    long prev = std::stol(base.substr(at + 9));
    size_t header = base.find("%PDF-");
    std::string out = base;
    std::string table = "xref\n";
    // The update's Size covers the whole file: the base's, or more for new objects.
    size_t baseSize = base.rfind("/Size ");
    int size = baseSize == std::string::npos ? 0 : std::stoi(base.substr(baseSize + 6));
    for (const auto& [number, body] : objects) {
        long offset = static_cast<long>(out.size() - header);
        out += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
        table += std::to_string(number) + " 1\n" + TableLine(offset, 0, 'n');
        size = std::max(size, number + 1);
    }
    long xref = static_cast<long>(out.size() - header);
    out += table + "trailer\n<< /Size " + std::to_string(size) + " /Prev " + std::to_string(prev) +
           " " + trailerEntries + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

std::string PdfBuilder::ObjectStreamData(const std::map<int, std::string>& objects, int* first) {
    std::string header, bodies;
    for (const auto& [number, text] : objects) {
        header += std::to_string(number) + " " + std::to_string(bodies.size()) + " ";
        bodies += text + "\n";
    }
    *first = static_cast<int>(header.size());
    return header + bodies;
}

std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                  9) != Z_OK) {
        throw std::runtime_error("compress2 failed");
    }
    out.resize(size);
    return out;
}

}  // namespace testing_support
