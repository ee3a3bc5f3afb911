// Building the cross-reference table: `startxref`, the chain of table and stream sections
// along Prev, and the trailer.
#include <algorithm>
#include <cstring>
#include <set>

#include "pdf/CPdfException.h"
#include "pdf/CPdfParser.h"
#include "pdf/CPdfRawEdit.h"
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

constexpr size_t kStandardEntryBytes = 20;

// The value of `digits` when every byte is a decimal digit.
PDF_BYTE_SCAN bool DigitsValue(std::string_view digits, int64_t& value) {
    value = 0;
    for (char c : digits) {
        if (!IsPdfDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// A table entry in the standard layout: ten digits of offset, a space, five of generation, a
// space, "n" or "f" and a two-byte end of line. False for any other bytes.
PDF_BYTE_SCAN bool ReadStandardEntry(std::string_view line, CPdfXRefEntry& entry) {
    if (line.size() < kStandardEntryBytes || line[10] != ' ' || line[16] != ' ') return false;
    int64_t offset = 0;
    int64_t generation = 0;
    if (!DigitsValue(line.substr(0, 10), offset) || !DigitsValue(line.substr(11, 5), generation))
        return false;
    const std::string_view end = line.substr(18, 2);
    if ((line[17] != 'n' && line[17] != 'f') || offset > INT32_MAX ||
        (end != " \r" && end != " \n" && end != "\r\n")) {
        return false;
    }
    entry = {static_cast<int>(offset), static_cast<int>(generation),
             line[17] == 'n' ? CPdfXRefEntry::kInUse : CPdfXRefEntry::kFree};
    return true;
}

// The bytes of a file from a position on, read in growing pieces as a scan asks for them.
class FileBytes {
  public:
    FileBytes(const platform::ReadFile& file, int64_t start) : m_file(file), m_start(start) {}

    // Whether bytes [at, at + count) are there, reading them when they are not yet.
    bool Has(size_t at, size_t count) {
        if (at + count <= m_bytes.size()) return true;
        const int64_t left = m_file.Size() - m_start;
        const size_t want = std::max({at + count, 2 * m_bytes.size(), size_t{4096}});
        const size_t size =
            static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(want)));
        if (size <= m_bytes.size()) return false;
        const size_t old = m_bytes.size();
        m_bytes.resize(size);
        const int64_t got =
            m_file.ReadAt(m_start + static_cast<int64_t>(old), m_bytes.data() + old, size - old);
        m_bytes.resize(old + static_cast<size_t>(std::max<int64_t>(got, 0)));
        return at + count <= m_bytes.size();
    }
    std::string_view View(size_t at, size_t count) const {
        return std::string_view(m_bytes).substr(at, count);
    }
    // The index of the first byte at or after `at` that is not white space.
    size_t SkipWhite(size_t at) {
        while (Has(at, 1) && IsPdfWhiteSpace(m_bytes[at])) ++at;
        return at;
    }
    // Reads a run of one to ten digits at `at` that white space ends, into `value`.
    bool ReadNumber(size_t& at, int64_t& value) {
        value = 0;
        size_t digits = 0;
        for (; Has(at, 1) && IsPdfDigit(m_bytes[at]); ++at, ++digits) {
            value = value * 10 + (m_bytes[at] - '0');
            if (digits >= 10) return false;
        }
        return digits > 0 && Has(at, 1) && IsPdfWhiteSpace(m_bytes[at]);
    }
    // Whether the keyword `word` stands at `at`, ended by white space or by `end`.
    bool HasKeyword(size_t at, std::string_view word, char end) {
        if (!Has(at, word.size() + 1) || View(at, word.size()) != word) return false;
        const char after = m_bytes[at + word.size()];
        return IsPdfWhiteSpace(after) || after == end;
    }

  private:
    const platform::ReadFile& m_file;
    int64_t m_start;
    std::string m_bytes;
};

}  // namespace

void CPdfXRef::Build() {
    ReadStartXRef();
    // A Prev chain that comes back to a section already read ends there; the sections it
    // never reached are lost, so the objects no section listed are looked for in the file.
    std::set<int64_t> visited;
    std::optional<int64_t> position = m_startXRef;
    while (position && visited.insert(*position).second) position = ReadSection(*position);
    if (position) {
        m_warnings.Add(
            "cross-reference sections: Prev leads back to a section already read; "
            "objects no section lists were found by scanning the file");
        ListUnlistedObjectsFromScan();
    }
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
        if (std::optional<int64_t> trailerAt = ReadStandardTable(position)) {
            CPdfStreamPtr trailerWindow(
                m_fileStream->MakeSubStream(m_headerStart + *trailerAt, 0, {}));
            CPdfParser trailerParser(nullptr, trailerWindow.get(), false);
            trailerParser.Shift();
            return ReadTrailer(trailerParser);
        }
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
    return ReadTrailer(parser);
}

std::optional<int64_t> CPdfXRef::ReadStandardTable(int64_t position) {
    FileBytes bytes(*m_file, m_headerStart + position);
    size_t at = bytes.SkipWhite(0);
    if (!bytes.HasKeyword(at, "xref", ' ')) return std::nullopt;
    at = bytes.SkipWhite(at + 4);
    struct Subsection {
        int64_t first = 0;
        std::vector<CPdfXRefEntry> entries;
    };
    std::vector<Subsection> found;
    int64_t end = 0;
    while (!bytes.HasKeyword(at, "trailer", '<')) {
        Subsection subsection;
        int64_t count = 0;
        if (!bytes.ReadNumber(at, subsection.first)) return std::nullopt;
        at = bytes.SkipWhite(at);
        if (!bytes.ReadNumber(at, count)) return std::nullopt;
        at = bytes.SkipWhite(at);
        end = std::max(end, subsection.first + count);
        // Entries the file cannot hold, or a table larger than it may be: the token reader
        // gives such a section its error.
        if (end > MaxEntries() ||
            count > (m_file->Size() - position) / static_cast<int64_t>(kStandardEntryBytes) + 1) {
            return std::nullopt;
        }
        subsection.entries.resize(static_cast<size_t>(count));
        for (CPdfXRefEntry& entry : subsection.entries) {
            if (!bytes.Has(at, kStandardEntryBytes) ||
                !ReadStandardEntry(bytes.View(at, kStandardEntryBytes), entry)) {
                return std::nullopt;
            }
            at += kStandardEntryBytes;
        }
        at = bytes.SkipWhite(at);
        found.push_back(std::move(subsection));
    }
    GrowTable(end);
    // The first subsection that names an object wins, as in the token reader.
    for (const Subsection& subsection : found) {
        for (size_t k = 0; k < subsection.entries.size(); ++k) {
            CPdfXRefEntry& entry = m_entries[static_cast<size_t>(subsection.first) + k];
            if (entry.offset == -1) entry = subsection.entries[k];
        }
    }
    return position + static_cast<int64_t>(at);
}

std::optional<int64_t> CPdfXRef::ReadTrailer(CPdfParser& parser) {
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
