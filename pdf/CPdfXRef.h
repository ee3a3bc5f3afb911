// CPdfXRef: the cross-reference table of an open input file, through which every indirect
// object is reached.
//
// Made and owned by CPdfDocument; immutable after the table is built except for its two
// one-entry caches (a parsed and a raw object stream). Every offset counts from the header
// start (the "%PDF-" of the file). Objects returned by Resolve belong to the caller but keep
// a pointer to this table: they must not be used after the document is closed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/CPdfFilterStream.h"
#include "pdf/CPdfObject.h"
#include "pdf/CPdfStream.h"
#include "pdf/CPdfWarnings.h"

namespace platform {
class ReadFile;
}
class CPdfObjectStream;
class CPdfRawObjectStream;
class CPdfParser;

struct CPdfXRefEntry {
    static constexpr int kFree = 0;
    static constexpr int kInUse = 1;
    static constexpr int kCompressed = 2;

    int offset = -1;     // in use: header offset; compressed: object stream number; free: next
    int generation = 0;  // in use: generation; compressed: index in the object stream
    int type = kFree;
};

class CPdfXRef {
  public:
    // `fileStream`: the unbounded stream over the whole file whose start is the header; the
    // table takes its own reference. `warnings` receives what the reader gets past and must
    // outlive the table. Call Build next.
    CPdfXRef(CPdfFileStream* fileStream, std::shared_ptr<const platform::ReadFile> file,
             CPdfWarnings& warnings);
    ~CPdfXRef();
    CPdfXRef(const CPdfXRef&) = delete;
    CPdfXRef& operator=(const CPdfXRef&) = delete;

    // Reads `startxref`, the chain of sections and the trailer. Throws CPdfException.
    void Build();

    const std::vector<CPdfXRefEntry>& GetEntries() const { return m_entries; }
    int GetSize() const { return static_cast<int>(m_entries.size()); }
    int GetRootNum() const { return m_rootNum; }
    int GetRootGen() const { return m_rootGen; }
    int GetInfoNum() const { return m_infoNum; }
    int GetInfoGen() const { return m_infoGen; }
    const CPdfObject& GetTrailer() const { return m_trailer; }
    int64_t GetStartXRef() const { return m_startXRef; }
    int64_t GetHeaderStart() const { return m_headerStart; }
    const platform::ReadFile& GetFile() const { return *m_file; }
    CPdfFileStream& GetFileStream() const { return static_cast<CPdfFileStream&>(*m_fileStream); }

    // The object (number, generation); null when it is free, absent or its header does not
    // match. Raises "Corrupted PDF file" for a number outside the table.
    CPdfObject Resolve(int number, int generation);

    // An object that a stream names as its Length: resolved like any other, except that an
    // uncompressed one is parsed without resolving the references inside it, so that a
    // damaged file whose lengths refer to objects full of further streams cannot make the
    // work grow without bound.
    CPdfObject ResolveLength(int number, int generation);

    // The bytes of compressed object (number, generation) inside its decoded object stream,
    // valid until the next call; nothing when the stream does not hold it.
    std::optional<std::string_view> GetCompressedObjectText(int number, int generation);

    // Checks that the in-use entry of `number` leads to that object: `foundNumber` is the
    // number in the object header at its offset. An entry that leads to another object's
    // header (as tables that reserve numbers they never write do) is treated as free from
    // then on, with a warning. True when the entry leads to its own object.
    bool ConfirmHeader(int number, int foundNumber);

    // Strict reading mode (the file-append operation): stream objects must end with
    // `endstream`, and raw-text requests report a bad number as "Corrupted PDF file type 2".
    void SetStrictMode(bool strict) { m_strict = m_requireEndstream = strict; }
    bool IsStrict() const { return m_strict; }
    // Only the `endstream` rule of the strict mode (the rotation module's reading).
    void SetRequireEndstream(bool require) { m_requireEndstream = require; }
    bool RequiresEndstream() const { return m_requireEndstream; }

    // What one stream may decode to (kDefaultDecodeLimit unless set); reading a stream past
    // it raises "Stream too large to decode".
    size_t DecodeLimit() const { return m_decodeLimit; }
    void SetDecodeLimit(size_t limit) { m_decodeLimit = limit; }

    // What the reader got past: entries treated as free. Owned by the document.
    CPdfWarnings& Warnings() { return m_warnings; }

    // At most this many entries, whatever a damaged Size or subsection claims.
    int64_t MaxEntries() const;

    // How many raw object texts were taken from this table: a walk over the document should
    // read each object a bounded number of times, whatever the shape of its page tree.
    void CountRawTextRead() { ++m_rawTextReads; }
    uint64_t RawTextReads() const { return m_rawTextReads; }

  private:
    friend class CPdfObjectStream;
    friend class CPdfRawObjectStream;

    void ReadStartXRef();
    // Reads the section at `position`; the Prev position it names, if any.
    std::optional<int64_t> ReadSection(int64_t position);
    std::optional<int64_t> ReadTableSection(CPdfParser& parser);
    // Reads a table section in the layout the format prescribes ("xref", subsection lines of
    // two numbers, entries of 20 bytes, then "trailer") straight from the file's bytes; the
    // position of its "trailer" keyword. Nullopt, with nothing changed, for a section with
    // anything else in it: ReadTableSection reads such a one token by token.
    std::optional<int64_t> ReadStandardTable(int64_t position);
    // Reads the trailer dictionary at the parser (past "trailer"); the Prev position it names.
    std::optional<int64_t> ReadTrailer(CPdfParser& parser);
    std::optional<int64_t> ReadStreamSection(const CPdfObject& stream);
    void ReadStreamSubsection(CPdfStream& data, const int widths[3], int64_t first, int64_t count);
    std::optional<int64_t> PrevOf(const CPdfObject& trailer) const;
    void GrowTable(int64_t size);
    // After a Prev chain that looped: every object no section read lists is taken from its
    // header found in the file (the last one of a number wins).
    void ListUnlistedObjectsFromScan();
    void ReadTrailerKeys();

    // `reusable` (when given) tells whether the object may be kept for a later request: its
    // header matched and it holds no stream, whose reading position its holders share.
    CPdfObject ResolveInUse(int number, int generation, const CPdfXRefEntry& entry, CPdfXRef* table,
                            bool* reusable = nullptr);
    CPdfObject ResolveCompressed(int number, const CPdfXRefEntry& entry);

    CPdfStreamPtr m_fileStream;
    std::shared_ptr<const platform::ReadFile> m_file;
    int64_t m_headerStart = 0;
    std::vector<CPdfXRefEntry> m_entries;
    int m_rootNum = 0, m_rootGen = 0;
    int m_infoNum = 0, m_infoGen = 0;
    CPdfObject m_trailer;
    int64_t m_startXRef = 0;
    bool m_strict = false;
    bool m_requireEndstream = false;
    size_t m_decodeLimit = kDefaultDecodeLimit;
    CPdfWarnings& m_warnings;
    uint64_t m_rawTextReads = 0;
    int m_resolveDepth = 0;  // guards chains such as a Length that refers to its own object
    // Objects parsed lately, by object number modulo the table's size: a run reads a page, a
    // tree node or the catalog in more than one step, and parses it only once while it stays.
    struct ResolvedObject {
        int number = -1;
        int generation = 0;
        CPdfObject value;
    };
    static constexpr size_t kResolvedSlots = 64;
    std::array<ResolvedObject, kResolvedSlots> m_resolved;
    std::shared_ptr<CPdfObjectStream> m_objectStreamCache;
    std::shared_ptr<CPdfRawObjectStream> m_rawObjectStreamCache;
};
