#include "turnelle/RotationJob.h"

#include <unordered_map>
#include <unordered_set>

#include "pdf/CPdfException.h"
#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfRawText.h"
#include "pdf/CPdfXRef.h"
#include "turnelle/PageRanges.h"
#include "turnelle/PageSelection.h"
#include "turnelle/PageTextEdit.h"
#include "turnelle/PageTreeWalk.h"

namespace turnelle {

namespace {

constexpr int kEntryFree = 0;
constexpr int kEntryInUse = 1;
constexpr int kEntryCompressed = 2;

[[noreturn]] void FailDamaged() {
    throw CPdfException("PDF file was damaged\n");
}

// The number written after `key` in the raw text of object `number`; 0 when the object or
// the key is missing.
int NumberAfterKey(CPdfXRef& xref, int number, std::string_view key) {
    if (number <= 0 || number >= xref.GetSize()) return 0;
    std::optional<std::string> raw = GetRawObjectText(xref, number);
    if (!raw) return 0;
    return ReadRefAfterKey(*raw, key).number;
}

// Objects whose contents the table lists as compressed objects: they are written out one by
// one, so the streams that held them are dropped.
std::unordered_set<int> ObjectStreamNumbers(const std::vector<CPdfXRefEntry>& entries) {
    std::unordered_set<int> numbers;
    for (const CPdfXRefEntry& entry : entries) {
        if (entry.type == kEntryCompressed) numbers.insert(entry.offset);
    }
    return numbers;
}

}  // namespace

RotationJob::RotationJob(const TurnelleSettings& settings, std::string inputName,
                         std::string outputName, com::IProgressSink* progress)
    : m_settings(settings),
      m_inputName(std::move(inputName)),
      m_outputName(std::move(outputName)),
      m_progress(progress) {}

void RotationJob::Run() {
    try {
        WriteOutput();
    } catch (...) {
        if (m_progressStarted) m_progress.Print("\n");
        m_output.Abandon();
        m_document.Close();
        throw;
    }
    m_document.Close();
}

void RotationJob::WriteOutput() {
    // A page turns only by quarter turns: any other /Rotate is refused by readers.
    if (m_settings.rotateAngle % 90 != 0) {
        throw CPdfException("Rotation angle " + std::to_string(m_settings.rotateAngle) +
                            " is not a multiple of 90 degrees\n");
    }
    OpenInput();
    CreateOutput();
    const int pageCount = ReadPageCount();
    m_selection = BuildSelectionText(m_settings.type, pageCount, m_settings.rotatePages);
    m_progress.Print(", " + std::to_string(m_settings.rotateAngle) +
                     " Degrees, Pages: " + m_selection + "\nProcessing");

    CPdfObject pagesRoot = PagesRoot();
    PageTreeRead tree =
        WalkPageTree(m_document.GetXRef(), pagesRoot, m_document.Warnings(), m_progress);
    m_pages = std::move(tree.pages);
    m_cutKids = std::move(tree.cutKids);
    ParsePageRanges(m_selection, pageCount, m_settings.rotateAngle, m_pages, m_progress);

    WriteHeader();
    CopyObjects();
    m_output.Finish(m_rootNumber, m_infoNumber);
    m_activeContent.Report(m_document.Warnings());
    CommitOutput();
    m_progress.Print("\n");
}

void RotationJob::OpenInput() {
    platform::ReadFile probe;
    if (!probe.Open(m_inputName)) {
        throw CPdfException("Input file open error: " + m_inputName + "\n");
    }
    probe.Close();
    m_progress.Print("Rotating file: " + m_inputName);
    m_progressStarted = true;
    m_document.Open(m_inputName);
    CPdfXRef& xref = m_document.GetXRef();
    m_rootNumber = xref.GetRootNum();
    m_infoNumber = xref.GetInfoNum();
}

void RotationJob::CreateOutput() {
    // The output replaces its target only when complete; one that is the input (by another
    // spelling or through a link) would replace the document being read.
    if (platform::IsSameFile(m_inputName, m_outputName)) {
        throw CPdfException("Output file is the input file: " + m_outputName + "\n");
    }
    const size_t entryCount = m_document.GetXRef().GetEntries().size();
    if (!m_output.Create(m_outputName, entryCount)) {
        throw CPdfException("\nOutput file create error: " + m_outputName + "\n");
    }
    m_progress.Print(" to " + m_outputName);
}

// The page count the document declares: the /Count of the object named by the root's /Pages.
// A count beyond the number of objects cannot be true; it is refused before the selection
// text (one number per page for odd and even pages) could grow with it.
int RotationJob::ReadPageCount() {
    CPdfXRef& xref = m_document.GetXRef();
    const int count = NumberAfterKey(xref, NumberAfterKey(xref, m_rootNumber, "/Pages"), "/Count");
    if (count > xref.GetSize()) FailDamaged();
    return count;
}

// The catalog's /Pages as stored; it must lead to a dictionary.
CPdfObject RotationJob::PagesRoot() {
    CPdfXRef& xref = m_document.GetXRef();
    CPdfObject root = xref.Resolve(m_rootNumber, xref.GetRootGen());
    if (!root.IsDict()) FailDamaged();
    if (!root.GetDict().Lookup("Pages").IsDict()) FailDamaged();
    return root.GetDict().LookupDirect("Pages");
}

// Copies the input from its "%PDF-" header up to its first object, so that every offset of
// the output counts from the output's first byte whatever came before the header.
void RotationJob::WriteHeader() {
    CPdfXRef& xref = m_document.GetXRef();
    int64_t firstObject = 0;
    for (const CPdfXRefEntry& entry : xref.GetEntries()) {
        if (entry.type == kEntryInUse && entry.offset > 0 &&
            (firstObject == 0 || entry.offset < firstObject)) {
            firstObject = entry.offset;
        }
    }
    const platform::ReadFile& file = m_document.GetFile();
    const int64_t start = xref.GetHeaderStart();
    const int64_t length = std::min(firstObject, std::max<int64_t>(file.Size() - start, 0));
    std::string header(static_cast<size_t>(length), '\0');
    const int64_t read = file.ReadAt(start, header.data(), header.size());
    header.resize(static_cast<size_t>(std::max<int64_t>(read, 0)));
    m_output.Write(header);
}

// Every object in use, in object-number order, as its raw text; the selected pages get
// their new /Rotate. Each object keeps its own generation (compressed ones have 0). Object
// streams and cross-reference streams, of earlier revisions too, are not copied: the output
// has a classic table and every object written out plainly.
void RotationJob::CopyObjects() {
    CPdfXRef& xref = m_document.GetXRef();
    const std::vector<CPdfXRefEntry>& entries = xref.GetEntries();
    const std::unordered_set<int> objectStreams = ObjectStreamNumbers(entries);
    std::unordered_map<int, const RotationPageEntry*> firstPageOf;
    for (const RotationPageEntry& page : m_pages) firstPageOf.emplace(page.objectNumber, &page);

    for (size_t number = 1; number < entries.size(); ++number) {
        const CPdfXRefEntry& entry = entries[number];
        if (entry.type == kEntryFree || objectStreams.count(static_cast<int>(number)) != 0) {
            continue;
        }
        std::optional<std::string> raw = m_activeContent.Filter(
            static_cast<int>(number), GetRawObjectText(xref, static_cast<int>(number)));
        if (!raw || raw->empty() || IsObjectOrXRefStream(*raw)) continue;
        // The tree is written as the walk read it: without the kids it cut.
        if (auto cut = m_cutKids.find(static_cast<int>(number)); cut != m_cutKids.end()) {
            *raw = RemoveArrayElements(*raw, "/Kids", cut->second);
        }
        m_output.BeginObject(static_cast<int>(number),
                             entry.type == kEntryInUse ? entry.generation : 0);
        auto page = firstPageOf.find(static_cast<int>(number));
        if (page != firstPageOf.end() && page->second->selected) {
            m_output.Write(EditPageRotate(*raw, *page->second, m_settings.force));
        } else {
            m_output.Write(*raw);
        }
    }
}

void RotationJob::CommitOutput() {
    if (!m_output.Commit()) {
        throw CPdfException("Output file write error: " + m_outputName +
                            m_output.FailureReasonSuffix() + "\n");
    }
}

}  // namespace turnelle
