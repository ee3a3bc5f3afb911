#include "pdf/CPdfRawText.h"

#include <algorithm>

#include "pdf/CPdfException.h"
#include "pdf/CPdfRawEdit.h"
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
std::optional<TextThroughPattern> ReadThroughPattern(const platform::ReadFile& file, int64_t start,
                                                     std::string_view pattern) {
    std::string text;
    size_t searched = 0;  // text before this index holds no match start
    size_t piece = kFirstRead;
    for (;;) {
        size_t old = text.size();
        text.resize(old + piece);
        int64_t got = file.ReadAt(start + static_cast<int64_t>(old), text.data() + old, piece);
        text.resize(old + static_cast<size_t>(std::max<int64_t>(got, 0)));
        size_t at = FindBytes(text, pattern, searched);
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
// object: such text has the stream keyword after its dictionary, but no "endstream".
bool EndsInsideStreamData(std::string_view text) {
    const size_t keyword = FindStreamKeyword(text);
    return keyword != kNotFound && FindBytes(text, "endstream", keyword + 6) == kNotFound;
}

// Where a stream's data starts (after "stream" and its end of line) and how long its
// direct Length says it is, read from the first bytes of the object; nothing when these
// bytes do not show both.
std::optional<std::pair<size_t, int64_t>> StreamExtentFromHead(std::string_view head) {
    const size_t keyword = FindStreamKeyword(head);
    if (keyword == kNotFound) return std::nullopt;
    size_t data = keyword + 6;
    if (head[data] == '\r') ++data;
    if (data < head.size() && head[data] == '\n') ++data;
    std::optional<NumberSpan> length = FindIntegerValue(head.substr(0, keyword), "/Length");
    // A length past any file's size is no use, and would overflow the sums made with it.
    if (!length || length->value > (int64_t{1} << 48)) return std::nullopt;
    return std::make_pair(data, static_cast<int64_t>(length->value));
}

// The text of a stream object read in one piece, sized by its direct Length: the data is
// skipped rather than searched, so large images cost one read. Nothing when the bytes
// after the data are not "endstream" and "endobj", as in a file with a wrong Length.
std::optional<std::string> ReadStreamObjectBySize(const platform::ReadFile& file, int64_t start,
                                                  std::string_view head) {
    std::optional<std::pair<size_t, int64_t>> extent = StreamExtentFromHead(head);
    if (!extent) return std::nullopt;
    constexpr size_t kTail = 64;  // room for "endstream", "endobj" and the line ends
    int64_t dataEnd = static_cast<int64_t>(extent->first) + extent->second;
    if (dataEnd > file.Size() - start) return std::nullopt;
    std::string text(static_cast<size_t>(dataEnd) + kTail, '\0');
    int64_t got = file.ReadAt(start, text.data(), text.size());
    if (got < dataEnd) return std::nullopt;
    text.resize(static_cast<size_t>(got));
    size_t i = static_cast<size_t>(dataEnd);
    i = SkipPdfWhiteSpace(text, i);
    if (text.compare(i, 9, "endstream") != 0) return std::nullopt;
    size_t endobj = FindBytes(text, "endobj", i + 9);
    if (endobj == std::string::npos || endobj + 7 > text.size()) return std::nullopt;
    for (size_t k = i + 9; k < endobj; ++k) {
        if (!IsPdfWhiteSpace(text[k])) return std::nullopt;
    }
    text.resize(endobj + 7);
    return text;
}

std::optional<std::string> ReadUncompressedText(CPdfXRef& xref, int64_t start) {
    const platform::ReadFile& file = xref.GetFile();
    std::string head(kFirstRead, '\0');
    head.resize(
        static_cast<size_t>(std::max<int64_t>(file.ReadAt(start, head.data(), head.size()), 0)));
    size_t endobj = FindBytes(head, "endobj");
    if (endobj != std::string::npos && endobj + 7 <= head.size() &&
        !EndsInsideStreamData(std::string_view(head).substr(0, endobj))) {
        head.resize(endobj + 7);
        return head;
    }
    if (std::optional<std::string> stream = ReadStreamObjectBySize(file, start, head))
        return stream;

    std::optional<TextThroughPattern> object = ReadThroughPattern(file, start, "endobj");
    if (!object) return std::nullopt;
    if (EndsInsideStreamData(object->text)) {
        std::optional<TextThroughPattern> data = ReadThroughPattern(file, start, "endstream");
        if (data) {
            std::optional<TextThroughPattern> rest =
                ReadThroughPattern(file, start + static_cast<int64_t>(data->text.size()), "endobj");
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
    xref.CountRawTextRead();
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
    std::optional<std::string> text =
        ReadUncompressedText(xref, xref.GetHeaderStart() + entry.offset);
    if (!text) return std::nullopt;
    std::optional<ObjectHeader> header = ReadObjectHeader(*text);
    if (header && !xref.ConfirmHeader(objectNumber, header->number)) return std::nullopt;
    return text;
}

size_t FindInBuffer(std::string_view buffer, size_t first, std::string_view pattern) {
    if (pattern.empty() || first >= buffer.size()) return 0;
    size_t at = FindBytes(buffer, pattern, first);
    return at == kNotFound ? 0 : at + pattern.size() - 1;
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
