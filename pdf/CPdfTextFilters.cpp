#include "pdf/CPdfTextFilters.h"

#include "pdf/CPdfRawEdit.h"

namespace {

bool IsWhite(int c) {
    return c >= 0 && IsPdfWhiteSpace(static_cast<char>(c));
}

}  // namespace

bool CPdfAsciiHexStream::Decode(std::vector<uint8_t>& block) {
    int high = -1;  // the first digit of a pair read so far
    while (!m_done && block.size() < kBlockSize) {
        int c = Source().GetChar();
        if (IsWhite(c)) continue;
        int value = PdfHexDigitValue(c);
        if (value < 0) {
            // ">" (or the end, or a stray byte) ends the data; a lone last digit counts as
            // followed by 0.
            m_done = true;
            break;
        }
        if (high < 0) {
            high = value;
        } else {
            block.push_back(static_cast<uint8_t>(high << 4 | value));
            high = -1;
        }
    }
    if (high >= 0) {
        // The block fills only on a whole pair: a digit left over means the data ended.
        block.push_back(static_cast<uint8_t>(high << 4));
    }
    return !block.empty();
}

bool CPdfAscii85Stream::AppendGroup(const int digits[5], int count, std::vector<uint8_t>& block) {
    uint64_t value = 0;
    for (int k = 0; k < 5; ++k)
        value = value * 85 + static_cast<uint64_t>(k < count ? digits[k] : 84);
    if (value > 0xFFFFFFFFu) return false;
    for (int k = 0; k < count - 1; ++k)
        block.push_back(static_cast<uint8_t>(value >> (24 - 8 * k)));
    return true;
}

bool CPdfAscii85Stream::Decode(std::vector<uint8_t>& block) {
    int digits[5];
    int count = 0;
    while (!m_done && (block.size() < kBlockSize || count > 0)) {
        int c = Source().GetChar();
        if (IsWhite(c)) continue;
        if (c == 'z' && count == 0) {
            block.insert(block.end(), 4, 0);
            continue;
        }
        if (c < '!' || c > 'u') {
            // "~>" (or the end, or a stray byte) ends the data; a last group of 2 to 4
            // digits gives one byte fewer than its digits.
            m_done = true;
            if (count >= 2) AppendGroup(digits, count, block);
            break;
        }
        digits[count++] = c - '!';
        if (count == 5) {
            if (!AppendGroup(digits, 5, block)) m_done = true;
            count = 0;
        }
    }
    return !block.empty();
}

bool CPdfRunLengthStream::Decode(std::vector<uint8_t>& block) {
    while (!m_done && block.size() < kBlockSize) {
        int length = Source().GetChar();
        if (length < 0 || length == 128) {
            m_done = true;
        } else if (length < 128) {
            for (int k = 0; k <= length; ++k) {
                int c = Source().GetChar();
                if (c < 0) {
                    m_done = true;
                    break;
                }
                block.push_back(static_cast<uint8_t>(c));
            }
        } else {
            int c = Source().GetChar();
            if (c < 0) {
                m_done = true;
            } else {
                block.insert(block.end(), static_cast<size_t>(257 - length),
                             static_cast<uint8_t>(c));
            }
        }
    }
    return !block.empty();
}
