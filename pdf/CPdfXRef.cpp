#include "pdf/CPdfXRef.h"

#include "pdf/CPdfException.h"
#include "pdf/CPdfObjectStream.h"
#include "pdf/CPdfParser.h"
#include "platform/File.h"

namespace {

// Resolving an object may resolve others (an indirect Length, the object stream holding
// it); past this depth a chain is taken as a loop of a damaged file and gives null.
constexpr int kMaxResolveDepth = 32;

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : m_depth(++depth) {}
    ~DepthGuard() { --m_depth; }
    bool TooDeep() const { return m_depth > kMaxResolveDepth; }

private:
    int& m_depth;
};

}  // namespace

CPdfXRef::CPdfXRef(CPdfFileStream* fileStream, std::shared_ptr<const platform::ReadFile> file)
    : m_file(std::move(file)) {
    fileStream->AddRef();
    m_fileStream.reset(fileStream);
    m_headerStart = fileStream->GetStart();
}

CPdfXRef::~CPdfXRef() {
    // Cached objects hold pointers to this table; drop them before the table goes.
    m_objectStreamCache.reset();
    m_rawObjectStreamCache.reset();
    m_trailer.Free();
}

int64_t CPdfXRef::MaxEntries() const { return (int64_t{1} << 20) + m_file->Size(); }

CPdfObject CPdfXRef::Resolve(int number, int generation) {
    // The range is checked in every reading mode: the numbers come from files.
    if (number < 0 || number >= GetSize()) throw CPdfException(pdfmsg::kCorrupted, number, -1);
    DepthGuard guard(m_resolveDepth);
    if (guard.TooDeep()) return CPdfObject::MakeNull();
    const CPdfXRefEntry entry = m_entries[static_cast<size_t>(number)];
    if (entry.type == CPdfXRefEntry::kInUse) return ResolveInUse(number, generation, entry, this);
    if (entry.type == CPdfXRefEntry::kCompressed && generation == 0) {
        return ResolveCompressed(number, entry);
    }
    return CPdfObject::MakeNull();
}

CPdfObject CPdfXRef::ResolveLength(int number, int generation) {
    if (number < 0 || number >= GetSize()) throw CPdfException(pdfmsg::kCorrupted, number, -1);
    const CPdfXRefEntry entry = m_entries[static_cast<size_t>(number)];
    if (entry.type != CPdfXRefEntry::kInUse) return Resolve(number, generation);
    return ResolveInUse(number, generation, entry, nullptr);
}

CPdfObject CPdfXRef::ResolveInUse(int number, int generation, const CPdfXRefEntry& entry, CPdfXRef* table) {
    if (generation != entry.generation) return CPdfObject::MakeNull();
    CPdfStreamPtr window(m_fileStream->MakeSubStream(m_headerStart + entry.offset, 0, {}));
    CPdfParser parser(table, window.get(), m_requireEndstream);
    CPdfObject num = parser.GetObject();
    CPdfObject gen = parser.GetObject();
    CPdfObject keyword = parser.GetObject();
    if (!num.IsInt() || num.GetInt() != number || !gen.IsInt() || gen.GetInt() != generation ||
        !keyword.IsKeyword("obj")) {
        return CPdfObject::MakeNull();
    }
    return parser.GetObject();
}

CPdfObject CPdfXRef::ResolveCompressed(int number, const CPdfXRefEntry& entry) {
    std::shared_ptr<CPdfObjectStream> cached = m_objectStreamCache;
    if (!cached || cached->GetStreamNumber() != entry.offset) {
        m_objectStreamCache.reset();
        cached = std::make_shared<CPdfObjectStream>(*this, entry.offset);
        m_objectStreamCache = cached;
    }
    return cached->GetObject(entry.generation, number);
}

std::optional<std::string_view> CPdfXRef::GetCompressedObjectText(int number, int generation) {
    if (number < 0 || number >= GetSize()) {
        throw CPdfException(m_strict ? pdfmsg::kCorruptedType2 : pdfmsg::kCorrupted, number, -1);
    }
    if (generation != 0) return std::nullopt;
    const CPdfXRefEntry entry = m_entries[static_cast<size_t>(number)];
    DepthGuard guard(m_resolveDepth);
    if (guard.TooDeep()) return std::nullopt;
    std::shared_ptr<CPdfRawObjectStream> cached = m_rawObjectStreamCache;
    if (!cached || cached->GetStreamNumber() != entry.offset) {
        m_rawObjectStreamCache.reset();
        cached = std::make_shared<CPdfRawObjectStream>(*this, entry.offset);
        m_rawObjectStreamCache = cached;
    }
    return cached->GetText(entry.generation, number);
}
