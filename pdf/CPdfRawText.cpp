#include "pdf/CPdfRawText.h"

#include <algorithm>

#include "pdf/CPdfException.h"
#include "pdf/CPdfXRef.h"
#include "platform/File.h"

namespace {

constexpr size_t kFirstRead = 1024;
constexpr size_t kMaxRead = size_t{1} << 24;

struct TextThroughPattern {
    std::string text;  // from the start through the pattern and the byte after it
    size_t matchAt;    // index of the pattern's first byte
};

// Reads from `start` until `pattern` has been read, plus the byte after it (when the file
// has one). Reads in growing pieces so that small objects cost one read.
std::optional<TextThroughPattern> ReadThroughPattern(const platform::ReadFile& file,
                                                     int64_t start, std::string_view pattern) {
    std::string text;
    size_t searched = 0;  // text before this index holds no match start
    size_t piece = kFirstRead;
    for (;;) {
        size_t old = text.size();
        text.resize(old + piece);
        int64_t got = file.ReadAt(start + static_cast<int64_t>(old), text.data() + old, piece);
        text.resize(old + static_cast<size_t>(std::max<int64_t>(got, 0)));
        size_t at = text.find(pattern, searched);
        if (at != std::string::npos) {
            size_t end = at + pattern.size() + 1;
            if (end > text.size()) {
                // The byte after the pattern lies beyond this read: fetch it.
                char after;
                if (file.ReadAt(start + static_cast<int64_t>(text.size()), &after, 1) == 1) {
                    text += after;
                }
                end = std::min(end, text.size());
            }
            text.resize(end);
            return TextThroughPattern{std::move(text), at};
        }
        if (got <= 0 || static_cast<size_t>(got) < piece) return std::nullopt;
        searched = text.size() - (pattern.size() - 1);
        piece = std::min(piece * 2, kMaxRead);
    }
}

// An `endobj` found inside a stream's data (before its `endstream`) does not end the
// object: such text holds "stream" followed by an end of line, but no "endstream".
bool EndsInsideStreamData(std::string_view text) {
    size_t keyword = text.find("stream");
    while (keyword != std::string_view::npos) {
        bool wholeWord = keyword == 0 || (text[keyword - 1] != 'd');
        size_t after = keyword + 6;
        bool lineEnd = after < text.size() && (text[after] == '\r' || text[after] == '\n');
        if (wholeWord && lineEnd) return text.find("endstream", after) == std::string_view::npos;
        keyword = text.find("stream", keyword + 1);
    }
    return false;
}

std::optional<std::string> ReadUncompressedText(CPdfXRef& xref, int64_t start) {
    const platform::ReadFile& file = xref.GetFile();
    std::optional<TextThroughPattern> object = ReadThroughPattern(file, start, "endobj");
    if (!object) return std::nullopt;
    if (EndsInsideStreamData(object->text)) {
        std::optional<TextThroughPattern> data = ReadThroughPattern(file, start, "endstream");
        if (data) {
            std::optional<TextThroughPattern> rest = ReadThroughPattern(
                file, start + static_cast<int64_t>(data->text.size()), "endobj");
            if (rest) return data->text + rest->text;
        }
    }
    return std::move(object->text);
}

}  // namespace

std::optional<std::string> GetRawObjectText(CPdfXRef& xref, int objectNumber) {
    if (objectNumber < 0 || objectNumber >= xref.GetSize()) return std::nullopt;
    const CPdfXRefEntry& entry = xref.GetEntries()[static_cast<size_t>(objectNumber)];
    if (entry.type == CPdfXRefEntry::kFree) return std::nullopt;
    if (entry.type == CPdfXRefEntry::kCompressed) {
        std::optional<std::string_view> bytes = xref.GetCompressedObjectText(objectNumber, 0);
        if (!bytes || bytes->empty()) return std::nullopt;
        std::string text = std::to_string(objectNumber);
        text.reserve(text.size() + bytes->size() + 15);
        text += " 0 obj\r";
        text += *bytes;
        text += " endobj\r";
        return text;
    }
    return ReadUncompressedText(xref, xref.GetHeaderStart() + entry.offset);
}

size_t FindInBuffer(std::string_view buffer, size_t first, std::string_view pattern) {
    if (pattern.empty() || first >= buffer.size()) return 0;
    size_t at = buffer.find(pattern, first);
    return at == std::string_view::npos ? 0 : at + pattern.size() - 1;
}

int64_t FindInFile(const platform::ReadFile& file, int64_t start, std::string_view pattern) {
    if (pattern.empty() || start < 0) return 0;
    std::optional<TextThroughPattern> found = ReadThroughPattern(file, start, pattern);
    if (!found) return 0;
    return start + static_cast<int64_t>(found->matchAt + pattern.size() - 1);
}

CPdfRefAfterKey ReadRefAfterKey(std::string_view raw, std::string_view key) {
    CPdfRefAfterKey result;
    size_t keyEnd = FindInBuffer(raw, 0, key);
    if (keyEnd == 0) return result;
    size_t i = keyEnd + 1;
    while (i < raw.size() && (raw[i] < '0' || raw[i] > '9')) ++i;
    if (i >= raw.size()) return result;
    int64_t number = 0;
    for (; i < raw.size() && raw[i] >= '0' && raw[i] <= '9'; ++i) {
        number = number * 10 + (raw[i] - '0');
        if (number > INT32_MAX) return CPdfRefAfterKey{};  // not an object number
    }
    result.number = static_cast<int>(number);
    result.followedByZeroR = raw.substr(i, 4) == " 0 R";
    return result;
}
