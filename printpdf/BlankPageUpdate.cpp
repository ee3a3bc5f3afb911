#include "printpdf/BlankPageUpdate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/ReplaceFile.h"
#include "printpdf/PdfNumber.h"

namespace printpdf {

namespace {

std::string Reference(int number) {
    return std::to_string(number) + " 0 R";
}

// The update's bytes, gathered in blocks and appended to the file; remembers where each new
// object starts.
class UpdateWriter {
  public:
    UpdateWriter(platform::ReplaceFile& file, uint64_t start) : m_file(file), m_position(start) {}

    void Append(std::string_view text) {
        m_block += text;
        if (m_block.size() >= kBlockBytes) Flush();
    }
    uint64_t Position() const { return m_position + m_block.size(); }
    void Object(int number, std::string_view body) {
        Append(std::to_string(number) + " 0 obj\n");
        Append(body);
        Append("\nendobj\n");
    }
    bool Flush() {
        bool written = m_file.Write(m_block);
        m_position += m_block.size();
        m_block.clear();
        return written;
    }

  private:
    static constexpr size_t kBlockBytes = 64 * 1024;
    platform::ReplaceFile& m_file;
    uint64_t m_position;
    std::string m_block;
};

std::string XrefEntry(uint64_t offset) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                  static_cast<unsigned long long>(offset));
    return entry;
}

}  // namespace

std::optional<WrittenDocumentEnd> ReadWrittenDocumentEnd(std::string_view lastBytes,
                                                         uint64_t length) {
    size_t trailer = lastBytes.rfind("trailer");
    size_t startxref = lastBytes.rfind("startxref");
    if (trailer == std::string_view::npos || startxref == std::string_view::npos ||
        startxref < trailer) {
        return std::nullopt;
    }
    std::string_view dictionary = lastBytes.substr(trailer + 7, startxref - trailer - 7);
    size_t open = dictionary.find("<<");
    size_t close = dictionary.rfind(">>");
    size_t sizeKey = dictionary.find("/Size ");
    if (open == std::string_view::npos || close == std::string_view::npos ||
        sizeKey == std::string_view::npos || sizeKey > close) {
        return std::nullopt;
    }
    WrittenDocumentEnd end;
    end.length = length;
    std::string sizeText(dictionary.substr(sizeKey + 6, 12));
    std::string offsetText(lastBytes.substr(startxref + 9, 24));
    char* stop = nullptr;
    end.size = static_cast<int>(std::strtol(sizeText.c_str(), &stop, 10));
    if (stop == sizeText.c_str() || end.size < 1) return std::nullopt;
    end.xrefOffset = std::strtoull(offsetText.c_str(), &stop, 10);
    if (stop == offsetText.c_str() || end.xrefOffset >= length) return std::nullopt;
    // The entries without /Size: the text between "<<" and ">>" with "/Size N" cut out.
    size_t sizeEnd = dictionary.find_first_not_of("0123456789 ", sizeKey + 6);
    end.trailerEntries = std::string(dictionary.substr(open + 2, sizeKey - open - 2)) +
                         std::string(dictionary.substr(sizeEnd, close - sizeEnd));
    return end;
}

bool WriteBlankPageUpdate(platform::ReplaceFile& file, const WrittenDocumentEnd& end,
                          const BlankPageNodes& pages) {
    UpdateWriter out(file, end.length);
    const int contents = end.size;
    const int resources = end.size + 1;
    const int firstPage = end.size + 2;
    // Offsets of the new objects (contents, resources, pages) and of the nodes given again.
    std::vector<uint64_t> offsets;
    offsets.reserve(static_cast<size_t>(pages.count) + 2);
    std::vector<std::pair<int, uint64_t>> nodeOffsets;

    out.Append("\n");
    offsets.push_back(out.Position());
    // Ghostscript's PDF reader fails on a content stream of length 0: an empty save/restore.
    out.Object(contents, "<< /Length 4 >>\nstream\nq Q\nendstream");
    offsets.push_back(out.Position());
    out.Object(resources, "<< >>");
    const PdfRect& box = pages.mediaBox;
    const std::string pageEnd = " 0 R /MediaBox [" + PdfNumber(box.x) + " " + PdfNumber(box.y) +
                                " " + PdfNumber(box.x + box.width) + " " +
                                PdfNumber(box.y + box.height) + "] /Resources " +
                                Reference(resources) + " /Contents " + Reference(contents) + " >>";
    int made = 0;
    for (int node : pages.nodes) {
        int inNode = std::min(kBlankPagesPerNode, pages.count - made);
        std::string kids;
        for (int k = 0; k < inNode; ++k) {
            int number = firstPage + made + k;
            offsets.push_back(out.Position());
            out.Object(number, "<< /Type /Page /Parent " + std::to_string(node) + pageEnd);
            kids += (k == 0 ? "" : " ") + Reference(number);
        }
        made += inNode;
        nodeOffsets.emplace_back(node, out.Position());
        out.Object(node, "<< /Type /Pages /Parent " + Reference(pages.root) + " /Count " +
                             std::to_string(inNode) + " /Kids [" + kids + "] >>");
    }

    uint64_t xref = out.Position();
    out.Append("xref\n");
    std::sort(nodeOffsets.begin(), nodeOffsets.end());
    for (const auto& [node, offset] : nodeOffsets) {
        out.Append(std::to_string(node) + " 1\n" + XrefEntry(offset));
    }
    out.Append(std::to_string(contents) + " " + std::to_string(offsets.size()) + "\n");
    for (uint64_t offset : offsets) out.Append(XrefEntry(offset));
    int size = contents + static_cast<int>(offsets.size());
    out.Append("trailer\n<< /Size " + std::to_string(size) + " /Prev " +
               std::to_string(end.xrefOffset) + " " + end.trailerEntries + ">>\nstartxref\n" +
               std::to_string(xref) + "\n%%EOF\n");
    return out.Flush();
}

}  // namespace printpdf
