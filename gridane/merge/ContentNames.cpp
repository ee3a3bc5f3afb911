#include "gridane/merge/ContentNames.h"

#include <vector>

#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfRawTokens.h"

namespace gridane {

namespace {

struct NameOperand {
    size_t begin = 0;  // the slash
    size_t end = 0;
    size_t tokenIndex = 0;
    std::string name;  // without the slash, #xx escapes decoded
};

struct Replacement {
    size_t begin = 0;
    size_t end = 0;
    std::string text;
};

char CategoryOfOperator(std::string_view op) {
    if (op == "Tf") return 'F';
    if (op == "Do") return 'X';
    if (op == "gs") return 'E';
    if (op == "cs" || op == "CS") return 'C';
    if (op == "scn" || op == "SCN") return 'P';
    if (op == "sh") return 'S';
    return 0;
}

// Index one past the inline image data that follows the "ID" keyword ending at `idEnd`: the
// data runs to an "EI" standing between white space (or the end).
size_t SkipInlineImageData(std::string_view data, size_t idEnd) {
    size_t pos = idEnd + 1;
    while (pos + 1 < data.size()) {
        if (data[pos] == 'E' && data[pos + 1] == 'I' && IsPdfWhiteSpace(data[pos - 1]) &&
            (pos + 2 == data.size() || !IsPdfRegular(data[pos + 2]))) {
            return pos + 2;
        }
        ++pos;
    }
    return data.size();
}

class ContentRenamer {
  public:
    ContentRenamer(std::string_view data, const CategoryRenames& renames)
        : m_data(data), m_renames(renames) {}

    std::string Run() {
        size_t pos = 0;
        while (pos < m_data.size()) {
            // Tokenize up to the next inline image; its binary data is not text.
            size_t chunkEnd = ScanUntilImageData(pos);
            pos = chunkEnd < m_data.size() ? SkipInlineImageData(m_data, chunkEnd) : chunkEnd;
            m_operands.clear();
        }
        return Build();
    }

  private:
    // Tokenizes from `from`; returns the index just past an "ID" keyword, or the data's size.
    size_t ScanUntilImageData(size_t from) {
        std::string_view rest = m_data.substr(from);
        std::vector<PdfToken> tokens = TokenizePdfText(rest);
        for (size_t k = 0; k < tokens.size(); ++k) {
            const PdfToken& token = tokens[k];
            std::string_view text = rest.substr(token.begin, token.end - token.begin);
            if (token.kind == PdfTokenKind::Name) {
                m_operands.push_back(
                    {from + token.begin, from + token.end, k, DecodePdfName(text)});
            } else if (token.kind == PdfTokenKind::Word && !IsOperand(text)) {
                if (text == "ID") {
                    RenameImageColorSpace();
                    return from + token.end;
                }
                if (text != "BI") Apply(CategoryOfOperator(text));
                if (text != "BI") m_operands.clear();
            }
        }
        return m_data.size();
    }

    static bool IsOperand(std::string_view word) {
        if (word == "true" || word == "false" || word == "null") return true;
        char c = word[0];
        return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    }

    void Apply(char category) {
        if (category == 0) return;
        for (const NameOperand& operand : m_operands) Rename(operand, category);
    }

    // In an inline image dictionary only the value after /CS or /ColorSpace names a resource.
    void RenameImageColorSpace() {
        for (size_t i = 0; i + 1 < m_operands.size(); ++i) {
            const NameOperand& key = m_operands[i];
            const NameOperand& value = m_operands[i + 1];
            if ((key.name == "CS" || key.name == "ColorSpace") &&
                value.tokenIndex == key.tokenIndex + 1) {
                Rename(value, 'C');
            }
        }
    }

    void Rename(const NameOperand& operand, char category) {
        auto byCategory = m_renames.find(category);
        if (byCategory == m_renames.end()) return;
        auto it = byCategory->second.find(operand.name);
        if (it == byCategory->second.end()) return;
        m_replacements.push_back({operand.begin, operand.end, "/" + it->second});
    }

    std::string Build() const {
        std::string result;
        result.reserve(m_data.size() + 8 * m_replacements.size());
        size_t copied = 0;
        for (const Replacement& r : m_replacements) {
            result.append(m_data.substr(copied, r.begin - copied));
            result += r.text;
            copied = r.end;
        }
        result.append(m_data.substr(copied));
        return result;
    }

    std::string_view m_data;
    const CategoryRenames& m_renames;
    std::vector<NameOperand> m_operands;
    std::vector<Replacement> m_replacements;
};

}  // namespace

std::string RenameContentNames(std::string_view data, const CategoryRenames& renames) {
    if (renames.empty()) return std::string(data);
    return ContentRenamer(data, renames).Run();
}

}  // namespace gridane
