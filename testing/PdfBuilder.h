// Builds small PDF files byte by byte for tests, with offsets that are right by
// construction: a classic table or a cross-reference stream, optional junk before the
// header, incremental updates, and room to damage any part on purpose.
#pragma once

#include <map>
#include <string>

namespace testing_support {

class PdfBuilder {
  public:
    // Bytes written before "%PDF-1.x" (offsets then count from the header).
    PdfBuilder& Prefix(std::string bytes);
    PdfBuilder& Version(std::string version);
    // Object `number` with generation `generation` and body `body` (without obj/endobj).
    PdfBuilder& Object(int number, std::string body, int generation = 0);
    // A stream object with the given dictionary entries (Length is added) and data.
    PdfBuilder& Stream(int number, std::string dictEntries, std::string data);

    // The file with a classic table of every object (one subsection from 0) and a trailer
    // holding `trailerEntries` plus Size.
    std::string BuildWithTable(const std::string& trailerEntries) const;
    // The file with a cross-reference stream (object `xrefNumber`, W [1 4 2], no filter)
    // listing every object; `compressed` maps object numbers to (object stream, index).
    std::string BuildWithXRefStream(
        int xrefNumber, const std::string& trailerEntries,
        const std::map<int, std::pair<int, int>>& compressed = {}) const;

    // Header offset of object `number` in the last build (from the header's '%').
    long OffsetOf(int number) const;

    // An incremental update appended to `base`: the objects added to this builder since
    // the base was built, a table of them, and a trailer with Prev and `trailerEntries`.
    static std::string AppendUpdate(const std::string& base,
                                    const std::map<int, std::string>& objects,
                                    const std::string& trailerEntries);

    // The body of an object stream holding `objects` (number -> text), ready for Stream().
    static std::string ObjectStreamData(const std::map<int, std::string>& objects, int* first);

  private:
    std::string Body(std::map<int, long>& offsets) const;

    std::string m_prefix;
    std::string m_version = "1.4";
    std::map<int, std::pair<int, std::string>> m_objects;  // number -> (generation, text)
    mutable std::map<int, long> m_offsets;
};

// The raw zlib (FlateDecode) form of `data`.
std::string Deflate(const std::string& data);

}  // namespace testing_support
