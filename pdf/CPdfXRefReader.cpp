// Building the cross-reference table: `startxref`, the chain of table and stream sections
// along Prev, and the trailer.
#include <algorithm>
#include <cstring>
#include <set>

#include "pdf/CPdfException.h"
#include "pdf/CPdfParser.h"
#include "pdf/CPdfXRef.h"
#include "platform/File.h"

namespace {

constexpr int64_t kTailSize = 1023;
// A table line needs at least "0 0 n" and a separator.
constexpr int64_t kMinTableLineBytes = 6;

[[noreturn]] void Fail(const char* message, int64_t offset = -1) {
    throw CPdfException(message, -1, offset);
}

bool IsXRefWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

void CPdfXRef::Build() {
    ReadStartXRef();
    // A Prev chain that comes back to a section already read ends there.
    std::set<int64_t> visited;
    std::optional<int64_t> position = m_startXRef;
    while (position && visited.insert(*position).second) position = ReadSection(*position);
    ReadTrailerKeys();
    m_trailer.GetDict().SetTable(this);
}

void CPdfXRef::ReadStartXRef() {
    int64_t size = m_file->Size();
    int64_t start = std::max<int64_t>(0, size - kTailSize);
    std::string tail(static_cast<size_t>(size - start), ' ');
    int64_t got = m_file->ReadAt(start, tail.data(), tail.size());
    tail.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
    std::replace(tail.begin(), tail.end(), '\0', ' ');

    size_t at = tail.rfind("startxref");
    if (at == std::string::npos) Fail(pdfmsg::kDamaged);
    size_t i = at + 9;
    while (i < tail.size() && IsXRefWhite(tail[i])) ++i;
    int64_t value = 0;
    for (; i < tail.size() && tail[i] >= '0' && tail[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (tail[i] - '0'), INT64_MAX / 16);
    }
    if (value == 0) Fail(pdfmsg::kDamaged);
    m_startXRef = value;
}

std::optional<int64_t> CPdfXRef::ReadSection(int64_t position) {
    if (position < 0 || m_headerStart + position >= m_file->Size())
        Fail(pdfmsg::kBadXRef, position);
    CPdfStreamPtr window(m_fileStream->MakeSubStream(m_headerStart + position, 0, {}));
    // No table: references are not resolved while sections are read.
    CPdfParser parser(nullptr, window.get(), false);
    if (parser.Current().IsKeyword("xref")) {
        parser.Shift();
        return ReadTableSection(parser);
    }
    if (!parser.Current().IsInt()) Fail(pdfmsg::kBadXRef, position);
    if (!parser.Next().IsInt()) Fail(pdfmsg::kBadXRefStream, position);
    parser.Shift();
    parser.Shift();
    if (!parser.Current().IsKeyword("obj")) Fail(pdfmsg::kBadXRefStream, position);
    parser.Shift();
    CPdfObject stream = parser.GetObject();
    if (!stream.IsStream()) Fail(pdfmsg::kBadXRefStream, position);
    return ReadStreamSection(stream);
}

std::optional<int64_t> CPdfXRef::ReadTableSection(CPdfParser& parser) {
    for (;;) {
        CPdfObject first = parser.GetObject();
        if (first.IsKeyword("trailer")) break;
        CPdfObject count = parser.GetObject();
        if (!first.IsInt() || !count.IsInt() || first.GetInt() < 0 || count.GetInt() < 0) {
            Fail(pdfmsg::kBadXRefTable);
        }
        int64_t start = first.GetInt();
        int64_t end = start + count.GetInt();
        int64_t bytesLeft = m_file->Size() - parser.CurrentStream().GetPos();
        if (count.GetInt() > bytesLeft / kMinTableLineBytes + 1) Fail(pdfmsg::kCorrupted);
        GrowTable(end);
        for (int64_t number = start; number < end; ++number) {
            CPdfObject offset = parser.GetObject();
            CPdfObject generation = parser.GetObject();
            CPdfObject kind = parser.GetObject();
            bool inUse = kind.IsKeyword("n");
            if (!offset.IsInt() || !generation.IsInt() || (!inUse && !kind.IsKeyword("f"))) {
                Fail(pdfmsg::kBadXRefTable);
            }
            CPdfXRefEntry& entry = m_entries[static_cast<size_t>(number)];
            if (entry.offset == -1) {
                entry = {offset.GetInt(), generation.GetInt(),
                         inUse ? CPdfXRefEntry::kInUse : CPdfXRefEntry::kFree};
            }
        }
    }
    CPdfObject trailer = parser.GetObject();
    if (!trailer.IsDict()) Fail(pdfmsg::kTrailerWrongType);
    if (m_trailer.IsNone()) m_trailer = trailer;
    return PrevOf(trailer);
}

std::optional<int64_t> CPdfXRef::ReadStreamSection(const CPdfObject& stream) {
    const CPdfDict& dict = stream.GetDict();
    CPdfObject size = dict.LookupDirect("Size");
    if (!size.IsInt()) Fail(pdfmsg::kSizeWrongType);
    GrowTable(size.GetInt());

    CPdfObject w = dict.LookupDirect("W");
    if (!w.IsArray()) Fail(pdfmsg::kWWrongType);
    if (w.GetArray().GetLength() < 3) Fail(pdfmsg::kWWrongLength);
    int widths[3];
    for (int k = 0; k < 3; ++k) {
        const CPdfObject& width = w.GetArray().At(k);
        if (!width.IsInt() || width.GetInt() < 0) Fail(pdfmsg::kWWrongType);
        widths[k] = width.GetInt();
    }

    CPdfStream& data = stream.GetStream();
    data.Reset();
    CPdfObject index = dict.LookupDirect("Index");
    if (index.IsArray()) {
        const CPdfArray& pairs = index.GetArray();
        for (int i = 0; i + 1 < pairs.GetLength(); i += 2) {
            const CPdfObject& first = pairs.At(i);
            const CPdfObject& count = pairs.At(i + 1);
            if (!first.IsInt() || !count.IsInt()) Fail(pdfmsg::kIndexWrongType);
            ReadStreamSubsection(data, widths, first.GetInt(), count.GetInt());
        }
    } else {
        ReadStreamSubsection(data, widths, 0, size.GetInt());
    }
    if (m_trailer.IsNone()) m_trailer = stream.GetStream().GetDict();
    return PrevOf(stream.GetStream().GetDict());
}

void CPdfXRef::ReadStreamSubsection(CPdfStream& data, const int widths[3], int64_t first,
                                    int64_t count) {
    if (first < 0 || count < 0) Fail(pdfmsg::kCorrupted);
    GrowTable(first + count);
    auto readField = [&](int width, int64_t fallback) -> int64_t {
        if (width == 0) return fallback;
        uint64_t value = 0;
        for (int k = 0; k < width; ++k) {
            int c = data.GetChar();
            if (c < 0) Fail(pdfmsg::kXRefStreamEof);
            value = (value << 8) | static_cast<unsigned>(c);
        }
        return static_cast<int64_t>(value);
    };
    for (int64_t number = first; number < first + count; ++number) {
        int64_t type = readField(widths[0], CPdfXRefEntry::kInUse);
        int64_t second = readField(widths[1], 0);
        int64_t third = readField(widths[2], 0);
        if (type < 0 || type > 2) Fail(pdfmsg::kXRefStreamEntryType);
        CPdfXRefEntry& entry = m_entries[static_cast<size_t>(number)];
        if (entry.offset == -1) {
            entry = {static_cast<int>(second), static_cast<int>(third), static_cast<int>(type)};
        }
    }
}

std::optional<int64_t> CPdfXRef::PrevOf(const CPdfObject& trailer) const {
    CPdfObject prev = trailer.GetDict().LookupDirect("Prev");
    if (prev.IsInt()) return prev.GetInt();
    if (prev.IsRef()) return prev.GetRefNum();
    return std::nullopt;
}

void CPdfXRef::GrowTable(int64_t size) {
    if (size <= GetSize()) return;
    // A table far larger than the file could back is a damaged file, not an allocation.
    if (size > MaxEntries()) Fail(pdfmsg::kCorrupted);
    m_entries.resize(static_cast<size_t>(size));
}

void CPdfXRef::ReadTrailerKeys() {
    const CPdfDict& trailer = m_trailer.GetDict();
    CPdfObject root = trailer.LookupDirect("Root");
    if (!root.IsRef()) Fail(pdfmsg::kDamaged);
    m_rootNum = root.GetRefNum();
    m_rootGen = root.GetRefGen();
    CPdfObject info = trailer.LookupDirect("Info");
    if (info.IsRef()) {
        m_infoNum = info.GetRefNum();
        m_infoGen = info.GetRefGen();
    }
    // A direct Encrypt dictionary encrypts the file just as an indirect one does: copying
    // its objects would write strings and streams no reader can decrypt.
    CPdfObject encrypt = trailer.LookupDirect("Encrypt");
    if (encrypt.IsRef() || encrypt.IsDict()) Fail(pdfmsg::kEncrypted);
}
