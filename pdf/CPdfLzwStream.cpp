#include "pdf/CPdfLzwStream.h"

namespace {
constexpr int kClearCode = 256;
constexpr int kEndCode = 257;
constexpr int kMaxCodeWidth = 12;
}  // namespace

CPdfLzwStream::CPdfLzwStream(CPdfStream* source, bool earlyChange, size_t decodeLimit)
    : CPdfFilterStream(source, decodeLimit), m_earlyChange(earlyChange ? 1 : 0) {
    for (int c = 0; c < 256; ++c) {
        m_table[static_cast<size_t>(c)] = {-1, static_cast<uint8_t>(c), static_cast<uint8_t>(c), 1};
    }
    ClearTable();
}

void CPdfLzwStream::ClearTable() {
    m_nextCode = 258;
    m_codeWidth = 9;
    m_previous = -1;
}

int CPdfLzwStream::ReadCode() {
    while (m_bitCount < m_codeWidth) {
        int c = Source().GetChar();
        if (c < 0) return -1;
        m_bits = (m_bits << 8) | static_cast<uint32_t>(c);
        m_bitCount += 8;
    }
    m_bitCount -= m_codeWidth;
    return static_cast<int>((m_bits >> m_bitCount) & ((1u << m_codeWidth) - 1));
}

void CPdfLzwStream::AppendEntry(int code, std::vector<uint8_t>& block) const {
    const size_t start = block.size();
    block.resize(start + static_cast<size_t>(m_table[static_cast<size_t>(code)].length));
    // Written from its last byte back along the prefixes.
    for (size_t at = block.size(); code >= 0; code = m_table[static_cast<size_t>(code)].prefix) {
        block[--at] = m_table[static_cast<size_t>(code)].last;
    }
}

bool CPdfLzwStream::Decode(std::vector<uint8_t>& block) {
    while (!m_done && block.size() < kBlockSize) {
        int code = ReadCode();
        if (code < 0 || code == kEndCode) {
            m_done = true;
            break;
        }
        if (code == kClearCode) {
            ClearTable();
            continue;
        }
        if (m_previous < 0) {
            if (code > 255) {
                m_done = true;
                break;
            }
            AppendEntry(code, block);
            m_previous = code;
            continue;
        }
        if (code > m_nextCode) {
            m_done = true;  // a code the table does not hold
            break;
        }
        const Entry& previous = m_table[static_cast<size_t>(m_previous)];
        // The new entry: the previous string and the first byte of this one (of the previous
        // string itself when this code is the entry being made).
        uint8_t first =
            code < m_nextCode ? m_table[static_cast<size_t>(code)].first : previous.first;
        if (m_nextCode < kTableSize) {
            m_table[static_cast<size_t>(m_nextCode)] = {m_previous, first, previous.first,
                                                        previous.length + 1};
            ++m_nextCode;
        }
        AppendEntry(code, block);
        if (m_nextCode + m_earlyChange >= (1 << m_codeWidth) && m_codeWidth < kMaxCodeWidth) {
            ++m_codeWidth;
        }
        m_previous = code;
    }
    return !block.empty();
}
