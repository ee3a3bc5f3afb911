// The tokenizer half of CPdfParser: bytes to tokens.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "pdf/CPdfParser.h"
#include "pdf/CPdfRawEdit.h"

namespace {

// Byte classes as bits, so that a scan can accept several: digits and '#' are regular
// bytes with a class of their own because numbers and name escapes treat them apart.
enum CharClass : unsigned char { kOther = 1, kWhite = 2, kDelimiter = 4, kHash = 8, kDigit = 16 };
constexpr unsigned char kRegular = kOther | kHash | kDigit;
constexpr unsigned char kNameByte = kOther | kDigit;

constexpr auto kClasses = [] {
    std::array<unsigned char, 256> classes{};
    classes.fill(kOther);
    classes['#'] = kHash;
    for (int c = '0'; c <= '9'; ++c) classes[c] = kDigit;
    for (int c : {0x00, 0x09, 0x0A, 0x0C, 0x0D, 0x20}) classes[c] = kWhite;
    for (char c : std::string_view("%()/<>[]{}"))
        classes[static_cast<unsigned char>(c)] = kDelimiter;
    return classes;
}();

bool IsWhite(int c) {
    return c >= 0 && kClasses[c] == kWhite;
}
bool IsRegular(int c) {
    return c >= 0 && (kClasses[c] & kRegular) != 0;
}
bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// The value of a run of decimal digits, when it has at most ten significant ones (so that
// any of them fits a long long); false for a longer one.
PDF_BYTE_SCAN bool SmallDecimalValue(std::string_view digits, long long& value) {
    size_t first = 0;
    while (first + 1 < digits.size() && digits[first] == '0') ++first;
    if (digits.size() - first > 10) return false;
    value = 0;
    for (size_t i = first; i < digits.size(); ++i) value = value * 10 + (digits[i] - '0');
    return true;
}

// Decodes the hexadecimal string bytes at the start of `text` into `bytes`, up to and with the
// closing '>': white space is skipped, any other byte counts as the digit 0, and `high` keeps
// a first digit that waits for its second (-1 when none). The bytes used; `closed` tells
// whether the '>' was among them.
PDF_BYTE_SCAN size_t DecodeHexDigits(std::string_view text, std::string& bytes, int& high,
                                     bool& closed) {
    for (size_t i = 0; i < text.size(); ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (c == '>') {
            closed = true;
            return i + 1;
        }
        if (kClasses[c] == kWhite) continue;
        const int digit = std::max(PdfHexDigitValue(c), 0);
        if (high < 0) {
            high = digit;
        } else {
            bytes += static_cast<char>(high * 16 + digit);
            high = -1;
        }
    }
    return text.size();
}

// Length of the run at the start of `bytes` of bytes whose class is in the mask `wanted`.
PDF_BYTE_SCAN size_t ClassRunLength(std::string_view bytes, unsigned char wanted) {
    size_t run = 0;
    while (run < bytes.size() && (kClasses[static_cast<unsigned char>(bytes[run])] & wanted) != 0)
        ++run;
    return run;
}

// Length of the run at the start of `bytes` that a literal string takes as it stands: up to
// a parenthesis or a backslash.
PDF_BYTE_SCAN size_t PlainStringRunLength(std::string_view bytes) {
    size_t run = 0;
    while (run < bytes.size() && bytes[run] != '(' && bytes[run] != ')' && bytes[run] != '\\')
        ++run;
    return run;
}

}  // namespace

int CPdfParser::GetCharSlow() {
    for (;;) {
        int c = m_inputs[m_inputIndex]->GetChar();
        if (c >= 0 || m_inputIndex + 1 >= m_inputs.size()) return c;
        SelectInput(m_inputIndex + 1);
        if (*m_position < *m_bufferEnd) return *(*m_position)++;
    }
}

void CPdfParser::SkipToNextLine() {
    for (;;) {
        int c = GetChar();
        if (c < 0 || c == '\n') return;
        if (c == '\r') {
            if (LookChar() == '\n') GetChar();
            return;
        }
    }
}

PDF_BYTE_SCAN void CPdfParser::AppendRun(std::string& out, unsigned char wanted) {
    for (;;) {
        std::string_view buffered = Buffered();
        if (buffered.empty()) {
            if (LookChar() < 0) return;  // refills the buffer, or ends
            continue;
        }
        size_t run = ClassRunLength(buffered, wanted);
        out.append(buffered.data(), run);
        Consume(run);
        if (run < buffered.size()) return;
    }
}

PDF_BYTE_SCAN void CPdfParser::SkipWhitespace() {
    for (;;) {
        std::string_view buffered = Buffered();
        size_t run = ClassRunLength(buffered, kWhite);
        Consume(run);
        if (run < buffered.size()) return;
        int c = LookChar();
        if (c >= 0 && !IsWhite(c)) return;
        if (c < 0 && m_inputIndex + 1 >= m_inputs.size()) return;
        if (c < 0) {
            SelectInput(m_inputIndex + 1);
        } else {
            GetChar();
        }
    }
}

CPdfObject CPdfParser::ReadToken() {
    int c;
    for (;;) {
        SkipWhitespace();
        c = GetChar();
        if (c < 0) return CPdfObject::MakeEndOfInput();
        if (IsWhite(c)) continue;
        if (c != '%') break;
        do {
            c = GetChar();
        } while (c >= 0 && c != '\r' && c != '\n');
    }
    switch (c) {
        case '(':
            return ReadLiteralString();
        case '/':
            return ReadName();
        case '<':
            if (LookChar() == '<') {
                GetChar();
                return CPdfObject::MakeKeyword("<<");
            }
            return ReadHexString();
        case '>':
            if (LookChar() == '>') {
                GetChar();
                return CPdfObject::MakeKeyword(">>");
            }
            return CPdfObject::MakeError();
        case ')':
        case '{':
        case '}':
            return CPdfObject::MakeError();
        case '[':
            return CPdfObject::MakeKeyword("[");
        case ']':
            return CPdfObject::MakeKeyword("]");
        default:
            break;
    }
    if (c == '-' || c == '.' || IsDigit(c)) return ReadNumber(c);
    return ReadWord(c);
}

CPdfObject CPdfParser::ReadNumber(int first) {
    std::string text(1, static_cast<char>(first));
    bool real = first == '.';
    AppendRun(text, kDigit);
    for (int c = LookChar(); IsDigit(c) || c == '.'; c = LookChar()) {
        real = real || c == '.';
        text += static_cast<char>(GetChar());
    }
    size_t signLength = text[0] == '-' ? 1 : 0;
    if (!real) {
        // Integers beyond 32 bits are kept as reals: still numbers, but never mistaken for
        // an object number, a count or an offset.
        std::string_view digits(text.data() + signLength, text.size() - signLength);
        long long value = 0;
        if (SmallDecimalValue(digits, value)) {
            if (signLength) value = -value;
            if (value >= INT32_MIN && value <= INT32_MAX)
                return CPdfObject::MakeInt(static_cast<int>(value));
        }
    }
    // The longest prefix that reads as a decimal number: sign, digits, one dot, digits.
    size_t end = signLength;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && IsDigit(text[end])) ++end;
    }
    double value = 0.0;
    std::string_view number(text.data() + signLength, end - signLength);
    if (number.find_first_of("0123456789") != std::string_view::npos) {
        std::from_chars(number.data(), number.data() + number.size(), value);
    }
    return CPdfObject::MakeReal(signLength ? -value : value);
}

CPdfObject CPdfParser::ReadLiteralString() {
    std::string bytes;
    int depth = 1;
    for (;;) {
        const std::string_view buffered = Buffered();
        const size_t plain = PlainStringRunLength(buffered);
        bytes.append(buffered.data(), plain);
        Consume(plain);
        int c = GetChar();
        if (c < 0) break;  // cut by end of input: what was read is the string
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0) break;
        } else if (c == '\\') {
            c = GetChar();
            switch (c) {
                case -1:
                    return CPdfObject::MakeString(std::move(bytes));
                case 'n':
                    c = '\n';
                    break;
                case 'r':
                    c = '\r';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'b':
                    c = 0x08;
                    break;
                case 'f':
                    c = 0x0C;
                    break;
                case '\n':
                    continue;
                case '\r':
                    if (LookChar() == '\n') GetChar();
                    continue;
                default:
                    if (c >= '0' && c <= '7') {
                        int value = c - '0';
                        for (int digits = 1; digits < 3 && LookChar() >= '0' && LookChar() <= '7';
                             ++digits) {
                            value = value * 8 + (GetChar() - '0');
                        }
                        c = value & 0xFF;
                    }
                    break;
            }
        }
        bytes += static_cast<char>(c);
    }
    return CPdfObject::MakeString(std::move(bytes));
}

CPdfObject CPdfParser::ReadHexString() {
    std::string bytes;
    int high = -1;
    bool closed = false;
    while (!closed) {
        std::string_view buffered = Buffered();
        if (!buffered.empty()) {
            Consume(DecodeHexDigits(buffered, bytes, high, closed));
            continue;
        }
        // The buffer is spent: the next byte refills it, or comes from the next input.
        int c = GetChar();
        if (c < 0) break;
        const char byte = static_cast<char>(c);
        DecodeHexDigits(std::string_view(&byte, 1), bytes, high, closed);
    }
    if (high >= 0) bytes += static_cast<char>(high * 16);
    return CPdfObject::MakeString(std::move(bytes));
}

CPdfObject CPdfParser::ReadName() {
    std::string bytes;
    AppendRun(bytes, kNameByte);
    for (int c = LookChar(); IsRegular(c); c = LookChar()) {
        GetChar();
        int high = c == '#' ? PdfHexDigitValue(LookChar()) : -1;
        if (high < 0) {
            bytes += static_cast<char>(c);
            continue;
        }
        GetChar();
        int low = PdfHexDigitValue(GetChar());
        bytes += static_cast<char>(high * 16 + std::max(low, 0));
    }
    return CPdfObject::MakeName(std::move(bytes));
}

CPdfObject CPdfParser::ReadWord(int first) {
    std::string word(1, static_cast<char>(first));
    AppendRun(word, kRegular);
    // Compared as views: their lengths are compared first, so most words cost no byte compare.
    const std::string_view view = word;
    if (view == "true") return CPdfObject::MakeBool(true);
    if (view == "false") return CPdfObject::MakeBool(false);
    if (view == "null") return CPdfObject::MakeNull();
    return CPdfObject::MakeKeyword(std::move(word));
}
