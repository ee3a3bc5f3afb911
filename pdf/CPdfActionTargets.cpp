#include "pdf/CPdfActionTargets.h"

#include <array>
#include <optional>

#include "pdf/CPdfRawTokens.h"

namespace {

std::string DecodeLiteral(std::string_view token) {
    // The closing parenthesis ends the token when the string is closed.
    std::string_view body = token.substr(1);
    if (!body.empty() && body.back() == ')') body.remove_suffix(1);
    std::string bytes;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\\') {
            bytes += body[i];
            continue;
        }
        if (++i >= body.size()) break;
        const char escaped = body[i];
        if (escaped >= '0' && escaped <= '7') {
            int value = 0;
            for (size_t k = 0; k < 3 && i < body.size() && body[i] >= '0' && body[i] <= '7'; ++k)
                value = value * 8 + (body[i++] - '0');
            --i;
            bytes += static_cast<char>(value & 0xff);
            continue;
        }
        switch (escaped) {
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case 'b':
                bytes += '\b';
                break;
            case 'f':
                bytes += '\f';
                break;
            case '\r':  // a line continued: the end of line stands for nothing
                if (i + 1 < body.size() && body[i + 1] == '\n') ++i;
                break;
            case '\n':
                break;
            default:
                bytes += escaped;
                break;
        }
    }
    return bytes;
}

std::string DecodeHex(std::string_view token) {
    std::string bytes;
    int high = -1;
    for (char c : token.substr(1)) {
        const int digit = PdfHexDigitValue(static_cast<unsigned char>(c));
        if (digit < 0) continue;
        if (high < 0) {
            high = digit;
        } else {
            bytes += static_cast<char>(high * 16 + digit);
            high = -1;
        }
    }
    if (high >= 0) bytes += static_cast<char>(high * 16);
    return bytes;
}

// A text string's characters as ASCII: UTF-16 ones below 128 as they are, others as '?'.
std::string TextAsAscii(std::string bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
    if (!bytes.starts_with("\xFE\xFF")) return bytes;
    std::string ascii;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const bool plain = bytes[i] == 0 && static_cast<unsigned char>(bytes[i + 1]) < 128;
        ascii += plain ? bytes[i + 1] : '?';
    }
    return ascii;
}

std::string_view TokenText(std::string_view text, const PdfToken& token) {
    return text.substr(token.begin, token.end - token.begin);
}

// The decoded string that is the whole value text, or nothing when the value is no string.
std::optional<std::string> DirectString(std::string_view value) {
    PdfTokenReader reader(value);
    std::optional<PdfToken> token = reader.Next();
    if (!token || token->kind != PdfTokenKind::String) return std::nullopt;
    return DecodePdfStringToken(TokenText(value, *token));
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithPdf(std::string_view name) {
    if (name.size() < 4) return false;
    std::string suffix;
    for (char c : name.substr(name.size() - 4)) suffix += Lower(c);
    return suffix == ".pdf";
}

}  // namespace

std::string DecodePdfStringToken(std::string_view token) {
    if (token.empty()) return {};
    return TextAsAscii(token[0] == '(' ? DecodeLiteral(token) : DecodeHex(token));
}

bool IsWebOrMailAddress(std::string_view uriValue) {
    std::optional<std::string> address = DirectString(uriValue);
    if (!address) return false;
    // Address parsers drop tabs and line ends anywhere and blanks around the address.
    std::string plain;
    for (char c : *address) {
        if (c != '\t' && c != '\n' && c != '\r') plain += c;
    }
    const size_t first = plain.find_first_not_of(' ');
    const size_t last = plain.find_last_not_of(' ');
    if (first == std::string::npos) return false;
    plain = plain.substr(first, last - first + 1);
    for (char c : plain) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    }
    const size_t colon = plain.find(':');
    if (colon == std::string::npos) return false;
    std::string scheme;
    for (char c : plain.substr(0, colon)) scheme += Lower(c);
    return scheme == "http" || scheme == "https" || scheme == "mailto";
}

bool NamesPdfFile(std::string_view fileSpecValue) {
    if (std::optional<std::string> name = DirectString(fileSpecValue)) return EndsWithPdf(*name);
    PdfTokenReader reader(fileSpecValue);
    std::optional<PdfToken> open = reader.Next();
    if (!open || open->kind != PdfTokenKind::DictOpen) return false;
    constexpr std::array<std::string_view, 5> kNameKeys{"F", "UF", "DOS", "Mac", "Unix"};
    int names = 0;
    std::optional<PdfToken> key;
    while ((key = reader.Next()) && key->kind == PdfTokenKind::Name) {
        std::optional<PdfToken> value = reader.Next();
        if (!value) return false;
        const size_t valueEnd = ReadValueEnd(*value, reader);
        const std::string keyName = DecodePdfName(TokenText(fileSpecValue, *key));
        bool isName = false;
        for (std::string_view nameKey : kNameKeys) isName = isName || keyName == nameKey;
        if (!isName) continue;
        std::optional<std::string> name =
            DirectString(fileSpecValue.substr(value->begin, valueEnd - value->begin));
        if (!name || !EndsWithPdf(*name)) return false;
        ++names;
    }
    // Only a closed dictionary of keys and values was read whole.
    return names > 0 && key && key->kind == PdfTokenKind::DictClose;
}
