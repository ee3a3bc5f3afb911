#include "gridane/merge/SequenceFile.h"

#include <algorithm>
#include <limits>

namespace gridane {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A cursor over the text that reads decimal integers the way a "%d" conversion does: leading
// white space skipped, an optional sign, at least one digit. Values beyond 32 bits saturate.
class SequenceScanner {
  public:
    explicit SequenceScanner(std::string_view text) : m_text(text) {}

    void SkipSpace() {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) ++m_pos;
    }
    bool AtEnd() const { return m_pos >= m_text.size(); }

    bool ReadInt(int32_t& value) {
        SkipSpace();
        size_t pos = m_pos;
        bool negative = false;
        if (pos < m_text.size() && (m_text[pos] == '+' || m_text[pos] == '-')) {
            negative = m_text[pos] == '-';
            ++pos;
        }
        if (pos >= m_text.size() || m_text[pos] < '0' || m_text[pos] > '9') return false;
        int64_t magnitude = 0;
        while (pos < m_text.size() && m_text[pos] >= '0' && m_text[pos] <= '9') {
            magnitude = std::min<int64_t>(magnitude * 10 + (m_text[pos] - '0'),
                                          int64_t{std::numeric_limits<int32_t>::max()} + 1);
            ++pos;
        }
        int64_t signedValue = negative ? -magnitude : magnitude;
        value = static_cast<int32_t>(std::clamp<int64_t>(
            signedValue, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
        m_pos = pos;
        return true;
    }

    bool ReadComma() {
        if (m_pos < m_text.size() && m_text[m_pos] == ',') {
            ++m_pos;
            return true;
        }
        return false;
    }

  private:
    std::string_view m_text;
    size_t m_pos = 0;
};

// Counts how many of the four numbers "W,X <space> Y,Z" could be read.
int ScanFourNumbers(std::string_view text, std::array<int32_t, 4>& numbers) {
    SequenceScanner scanner(text);
    if (!scanner.ReadInt(numbers[0])) return 0;
    if (!scanner.ReadComma() || !scanner.ReadInt(numbers[1])) return 1;
    scanner.SkipSpace();
    if (!scanner.ReadInt(numbers[2])) return 2;
    if (!scanner.ReadComma() || !scanner.ReadInt(numbers[3])) return 3;
    return 4;
}

int32_t Bounded(int64_t term, int32_t limit) {
    if (term > limit) return 0;
    return static_cast<int32_t>(std::max<int64_t>(term, std::numeric_limits<int32_t>::min()));
}

// The term after x and y of an arithmetic progression, 0 when it passes the limit.
int32_t NextTerm(int32_t x, int32_t y, int32_t limit) {
    return Bounded(2 * int64_t{y} - x, limit);
}

void ContinueFourCells(std::vector<SequenceCells>& records, int32_t limit, int32_t firstPage) {
    if (int64_t{limit} < int64_t{firstPage} + 4) return;
    int64_t repeats = (int64_t{limit} - firstPage) / 4;
    for (int64_t i = 0; i < repeats; ++i) {
        const SequenceCells last = records.back();
        int32_t u = NextTerm(last[0], last[2], limit);
        int32_t v = NextTerm(last[1], last[3], limit);
        if (u != 0 && v != 0) {
            records.push_back({u, v, NextTerm(last[2], u, limit), NextTerm(last[3], v, limit)});
        } else {
            records.push_back({u, v, 0, 0});
        }
    }
}

void ContinueTwoCells(std::vector<SequenceCells>& records, int32_t c, int32_t d, int32_t limit,
                      int32_t firstPage) {
    if (int64_t{limit} < int64_t{firstPage} + 2) return;
    int64_t repeats = (int64_t{limit} - firstPage) / 2;
    for (int64_t i = 0; i < repeats; ++i) {
        const SequenceCells last = records.back();
        records.push_back({c, d, 0, 0});
        int32_t nextC = NextTerm(last[0], c, limit);
        int32_t nextD = NextTerm(last[1], d, limit);
        c = nextC;
        d = nextD;
    }
}

}  // namespace

SequenceNumbers ParseSequenceText(std::string_view text) {
    SequenceNumbers result;
    SequenceScanner probe(text);
    probe.SkipSpace();
    int count = ScanFourNumbers(text, result.numbers);
    if (probe.AtEnd() || (count > 0 && count < 4)) {
        result.error = kSequenceTooFew;
    } else if (count == 0) {
        result.error = kSequenceCorrupted;
    } else {
        const auto& n = result.numbers;
        bool overlap = n[0] == n[1] || n[0] == n[2] || n[0] == n[3] || n[1] == n[2] ||
                       n[1] == n[3] || n[2] == n[3];
        if (overlap) result.error = kSequenceOverlap;
    }
    return result;
}

std::vector<SequenceCells> ContinueSequence(const std::array<int32_t, 4>& numbers,
                                            const SequenceRange& range) {
    // Terms past the last page (or past the document) are blank cells; the first record is
    // bounded too, so that a file naming a page beyond the document never reaches a writer.
    const int32_t limit = std::min(range.lastPage, range.pageCount);
    std::vector<SequenceCells> records;
    const int32_t w = Bounded(numbers[0], limit);
    const int32_t x = Bounded(numbers[1], limit);
    const int32_t y = Bounded(numbers[2], limit);
    const int32_t z = Bounded(numbers[3], limit);
    if (range.fourCells) {
        records.push_back({w, x, y, z});
        ContinueFourCells(records, limit, range.firstPage);
    } else {
        records.push_back({w, x, 0, 0});
        ContinueTwoCells(records, y, z, limit, range.firstPage);
    }
    return records;
}

}  // namespace gridane
