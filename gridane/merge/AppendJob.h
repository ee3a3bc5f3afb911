// One append operation (see AppendDocuments.h): the two open input documents, the output file
// and the output cross-reference table with the body measures of the objects written, and the
// map of the second document's objects to their numbers in the output. Owns its documents and
// files, so that appends in one process (one after the other or on several threads) never
// share any; lives for one call of AppendDocuments.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "com/ProgressSink.h"
#include "gridane/merge/BodyMeasure.h"
#include "pdf/CPdfDocument.h"
#include "pdf/CPdfOutputFile.h"
#include "platform/FileSpace.h"

namespace gridane {

// One input document with the numbers the append needs from its catalog.
struct AppendInput {
    std::string name;
    CPdfDocument document;
    std::vector<CPdfXRefEntry> entries;
    int rootNum = 0;
    int infoNum = 0;
    int pagesNum = 0;     // page-tree root
    int outlinesNum = 0;  // outline root, 0 when none

    void Open(const std::string& path, platform::FileSpace files);
    // The raw text of object `num`; empty when it has none.
    std::string RawText(int num);
    bool InUse(int num) const;
    int Generation(int num) const;
    int Size() const { return static_cast<int>(entries.size()); }
};

class AppendJob {
  public:
    // `progress` receives the progress texts (nullptr: none) and must outlive the job; the
    // files are in `files`.
    AppendJob(const std::string& first, const std::string& second, const std::string& output,
              com::IProgressSink* progress, platform::FileSpace files = {});
    // Writes and commits the output; throws CPdfException. Until the output is committed, an
    // earlier file of its name stays as it was; a failed run leaves no partial file.
    void Run();
    // A document appended to itself keeps one outline: the copy's would list every bookmark
    // twice. On by default.
    void SetChainOutlines(bool chain) { m_chainOutlines = chain; }

  private:
    struct OutputEntry {
        int64_t offset = -1;
        int generation = 0;
        bool written = false;
        std::optional<BodyMeasure> measure;
    };
    enum class DupState : uint8_t { Unknown, Testing, Duplicate, Distinct };

    void OpenFiles();
    void PrintBanner() const;
    void WriteHeader();
    void ChainOutlines();
    void CopyFirstDocument();
    void FindDuplicates();
    void NumberSecondDocument();
    // The output number of the second document's object `j`; 0 when it has none.
    int OutputNumber(int j) const;
    void CopySecondDocument();
    void JoinPageTrees();
    void Finish();

    // Writes `text` as output object `outNum` at the current position.
    void WriteObject(int outNum, const std::string& text, int generation);
    std::string RenumberSecond(const std::string& dictPart);
    std::string SecondReference(int number);
    std::string SecondRef(int j) const;
    bool IsDuplicate(int j, bool fromAnnotation, int depth);
    std::optional<int> MatchFirstEntry(int j, const BodyMeasure& measure) const;
    void CountSearch();
    void Print(std::string_view text) const;

    // Direct lengths: a stream of the first document whose /Length is an object of its own
    // gets the number written in (AppendLengths.cpp); the length object itself is written at
    // the end only when something else refers to it. Saves an object per stream.
    std::string InlineLength(int i, const std::string& raw);
    void NoteReferences(std::string_view text);
    void WriteNeededLengths();

    std::string m_outputName;
    AppendInput m_first;
    AppendInput m_second;
    com::IProgressSink* m_progress;
    platform::FileSpace m_files;
    bool m_chainOutlines = true;
    CPdfOutputFile m_out;
    std::vector<OutputEntry> m_table;
    std::unordered_map<uint64_t, int> m_firstEntryByMeasure;
    // Second document's object -> its number in the output: a duplicate's first-document
    // object, else a number after the first document's (0 when it is not written).
    std::vector<int> m_target;
    std::vector<DupState> m_dupState;
    std::string m_firstPagesText;
    std::string m_secondPagesText;
    int m_searches = 0;
    std::map<int, std::string> m_heldLengths;  // inlined length objects, not written yet
    std::vector<bool> m_referenced;  // first-document objects some written object refers to
};

}  // namespace gridane
