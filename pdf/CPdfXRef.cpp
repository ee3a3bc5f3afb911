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

// The object stream `streamNumber` from the one-entry `cache`, built and cached anew when the
// cache holds another. The old entry goes first, so that at most one stays alive beside the
// one being built (whose building may itself resolve objects).
template <class Stream>
std::shared_ptr<Stream> CachedObjectStream(std::shared_ptr<Stream>& cache, CPdfXRef& table,
                                           int streamNumber) {
    std::shared_ptr<Stream> cached = cache;
    if (!cached || cached->GetStreamNumber() != streamNumber) {
        cache.reset();
        cached = std::make_shared<Stream>(table, streamNumber);
        cache = cached;
    }
    return cached;
}

}  // namespace

CPdfXRef::CPdfXRef(CPdfFileStream* fileStream, std::shared_ptr<const platform::ReadFile> file,
                   CPdfWarnings& warnings)
    : m_file(std::move(file)), m_warnings(warnings) {
    fileStream->AddRef();
    m_fileStream.reset(fileStream);
    m_headerStart = fileStream->GetStart();
}

CPdfXRef::~CPdfXRef() {
    // Cached objects hold pointers to this table; drop them before the table goes.
    for (ResolvedObject& slot : m_resolved) slot.value.Free();
    m_objectStreamCache.reset();
    m_rawObjectStreamCache.reset();
    m_trailer.Free();
}

int64_t CPdfXRef::MaxEntries() const {
    return (int64_t{1} << 20) + m_file->Size();
}

CPdfObject CPdfXRef::Resolve(int number, int generation) {
    // The range is checked in every reading mode: the numbers come from files.
    if (number < 0 || number >= GetSize()) throw CPdfException(pdfmsg::kCorrupted, number, -1);
    DepthGuard guard(m_resolveDepth);
    if (guard.TooDeep()) return CPdfObject::MakeNull();
    const CPdfXRefEntry entry = m_entries[static_cast<size_t>(number)];
    if (entry.type == CPdfXRefEntry::kInUse) {
        ResolvedObject& slot = m_resolved[static_cast<size_t>(number) % kResolvedSlots];
        if (slot.number == number && slot.generation == generation) return slot.value;
        bool reusable = false;
        CPdfObject value = ResolveInUse(number, generation, entry, this, &reusable);
        if (reusable) slot = ResolvedObject{number, generation, value};
        return value;
    }
    if (entry.type == CPdfXRefEntry::kCompressed && generation == 0) {
        return ResolveCompressed(number, entry);
    }
    return CPdfObject::MakeNull();
}

CPdfObject CPdfXRef::ResolveLength(int number, int generation) {
    // A length kept in an object the file does not have is unknown, not a damaged file: the
    // stream's end is then found by its keyword.
    if (number < 0 || number >= GetSize()) return CPdfObject::MakeNull();
    const CPdfXRefEntry entry = m_entries[static_cast<size_t>(number)];
    if (entry.type != CPdfXRefEntry::kInUse) return Resolve(number, generation);
    return ResolveInUse(number, generation, entry, nullptr);
}

CPdfObject CPdfXRef::ResolveInUse(int number, int generation, const CPdfXRefEntry& entry,
                                  CPdfXRef* table, bool* reusable) {
    if (generation != entry.generation) return CPdfObject::MakeNull();
    CPdfStreamPtr window(m_fileStream->MakeSubStream(m_headerStart + entry.offset, 0, {}));
    CPdfParser parser(table, window.get(), m_requireEndstream);
    CPdfObject num = parser.GetObject();
    CPdfObject gen = parser.GetObject();
    CPdfObject keyword = parser.GetObject();
    if (!num.IsInt() || !gen.IsInt() || !keyword.IsKeyword("obj") ||
        !ConfirmHeader(number, num.GetInt()) || gen.GetInt() != generation) {
        return CPdfObject::MakeNull();
    }
    CPdfObject value = parser.GetObject();
    if (reusable != nullptr) *reusable = !parser.MetStream();
    return value;
}

bool CPdfXRef::ConfirmHeader(int number, int foundNumber) {
    if (foundNumber == number) return true;
    CPdfXRefEntry& entry = m_entries[static_cast<size_t>(number)];
    if (entry.type != CPdfXRefEntry::kInUse) return false;
    if (m_warnings.IsFull()) {
        m_warnings.Add({});  // only counted: no text is made past the cap
    } else {
        m_warnings.Add("cross-reference entry of object " + std::to_string(number) + " (offset " +
                       std::to_string(entry.offset) + ") leads to object " +
                       std::to_string(foundNumber) + "; treated as free");
    }
    entry = CPdfXRefEntry{-1, 0, CPdfXRefEntry::kFree};
    return false;
}

CPdfObject CPdfXRef::ResolveCompressed(int number, const CPdfXRefEntry& entry) {
    return CachedObjectStream(m_objectStreamCache, *this, entry.offset)
        ->GetObject(entry.generation, number);
}

std::optional<std::string_view> CPdfXRef::GetCompressedObjectText(int number, int generation) {
    if (number < 0 || number >= GetSize()) {
        throw CPdfException(m_strict ? pdfmsg::kCorruptedType2 : pdfmsg::kCorrupted, number, -1);
    }
    if (generation != 0) return std::nullopt;
    const CPdfXRefEntry entry = m_entries[static_cast<size_t>(number)];
    DepthGuard guard(m_resolveDepth);
    if (guard.TooDeep()) return std::nullopt;
    // The text stays in the cached stream until the next request replaces it.
    return CachedObjectStream(m_rawObjectStreamCache, *this, entry.offset)
        ->GetText(entry.generation, number);
}
