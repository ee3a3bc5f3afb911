#include "gridane/merge/AppendJob.h"

#include <string_view>

#include "pdf/CPdfException.h"
#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfRawText.h"
#include "pdf/CPdfXRefWriter.h"

namespace gridane {

namespace {

constexpr int kSearchesPerDot = 5000;
constexpr size_t kCopyChunk = 1 << 16;

std::string WithName(const char* format, const std::string& name) {
    std::string text(format);
    size_t at = text.find("%s");
    return text.substr(0, at) + name + text.substr(at + 2);
}

std::string Ref(int number, int generation = 0) {
    return std::to_string(number) + " " + std::to_string(generation) + " R";
}

// Objects that describe the input file's own layout and mean nothing in the output: object
// streams (their objects are written as plain objects), cross-reference streams and the
// linearization dictionary.
bool IsLayoutObject(std::string_view raw) {
    if (IsObjectOrXRefStream(raw)) return true;
    return FindEntry(DictionaryPart(raw), "/Linearized").has_value();
}

int ReferencedNumber(std::string_view raw, std::string_view key) {
    auto ref = FindReferenceValue(DictionaryPart(raw), key);
    return ref ? ref->number : 0;
}

}  // namespace

void AppendInput::Open(const std::string& path, platform::FileSpace files) {
    name = path;
    document.Open(path, files);
    CPdfXRef& xref = document.GetXRef();
    xref.SetStrictMode(true);
    entries = xref.GetEntries();
    rootNum = xref.GetRootNum();
    infoNum = xref.GetInfoNum();
    std::string catalog = RawText(rootNum);
    pagesNum = ReferencedNumber(catalog, "/Pages");
    outlinesNum = ReferencedNumber(catalog, "/Outlines");
}

std::string AppendInput::RawText(int num) {
    if (!InUse(num)) return std::string();
    return GetRawObjectText(document.GetXRef(), num).value_or(std::string());
}

bool AppendInput::InUse(int num) const {
    return num >= 1 && num < Size() && entries[static_cast<size_t>(num)].type != 0;
}

int AppendInput::Generation(int num) const {
    if (!InUse(num)) return 0;
    const CPdfXRefEntry& entry = entries[static_cast<size_t>(num)];
    return entry.type == 1 ? entry.generation : 0;
}

AppendJob::AppendJob(const std::string& first, const std::string& second, const std::string& output,
                     com::IProgressSink* progress, platform::FileSpace files)
    : m_outputName(output), m_progress(progress), m_files(files) {
    m_first.name = first;
    m_second.name = second;
}

void AppendJob::Run() {
    OpenFiles();
    PrintBanner();
    Print("Processing");
    m_table.assign(static_cast<size_t>(m_first.Size()), OutputEntry{});
    WriteHeader();
    CopyFirstDocument();
    FindDuplicates();
    NumberSecondDocument();
    if (m_chainOutlines) ChainOutlines();
    CopySecondDocument();
    JoinPageTrees();
    Finish();
}

void AppendJob::OpenFiles() {
    // The files are checked before the documents are read, so that a missing input is named
    // with its own message, and the output may never replace an input.
    platform::ReadFile probe;
    if (!probe.Open(m_first.name, m_files))
        throw CPdfException(WithName("File1 open error: '%s'", m_first.name));
    if (!probe.Open(m_second.name, m_files)) {
        throw CPdfException(WithName("File2 open error: '%s'", m_second.name));
    }
    probe.Close();
    if (platform::IsSameFile(m_outputName, m_first.name, m_files) ||
        platform::IsSameFile(m_outputName, m_second.name, m_files)) {
        throw CPdfException(WithName("File output error: '%s'", m_outputName));
    }
    m_first.Open(m_first.name, m_files);
    m_second.Open(m_second.name, m_files);
    if (m_first.pagesNum == 0 || m_second.pagesNum == 0) {
        throw CPdfException(WithName("Can't find the page tree of '%s'",
                                     m_first.pagesNum == 0 ? m_first.name : m_second.name));
    }
    if (!m_out.Create(m_outputName, 0, m_files)) {
        throw CPdfException(WithName("File output error: '%s'", m_outputName));
    }
}

void AppendJob::PrintBanner() const {
    if (m_outputName.rfind("temp_", 0) == 0) {
        Print("\r\nAppending file: '" + m_second.name + "' to output file: '" + m_first.name +
              "'\r\n");
    } else {
        Print("\r\nAppending file: " + m_first.name + " and file: '" + m_second.name +
              "' to output file: '" + m_outputName + "'\r\n");
    }
}

void AppendJob::Print(std::string_view text) const {
    if (m_progress != nullptr) m_progress->Progress(text);
}

void AppendJob::WriteHeader() {
    // The first file's bytes before its first object, with the larger minor version of the two.
    auto headerByte = [](AppendInput& input, int64_t index) {
        char c = 0;
        int64_t start = input.document.GetXRef().GetHeaderStart();
        return input.document.GetFile().ReadAt(start + index, &c, 1) == 1 ? c : '\0';
    };
    char minor1 = headerByte(m_first, 7);
    char minor2 = headerByte(m_second, 7);
    char minor = std::max(minor1, minor2);
    bool digits = minor1 >= '0' && minor1 <= '9' && minor2 >= '0' && minor2 <= '9';

    int64_t firstObject = 0;
    for (const CPdfXRefEntry& entry : m_first.entries) {
        if (entry.type == 1 && entry.offset > 0 &&
            (firstObject == 0 || entry.offset < firstObject)) {
            firstObject = entry.offset;
        }
    }
    const platform::ReadFile& file = m_first.document.GetFile();
    int64_t start = m_first.document.GetXRef().GetHeaderStart();
    if (firstObject < 8 || start + firstObject > file.Size()) {
        m_out.Write(std::string("%PDF-1.") + (digits ? minor : '4') + "\n%\xE2\xE3\xCF\xD3\n");
        return;
    }
    std::string chunk;
    for (int64_t done = 0; done < firstObject;) {
        size_t count = static_cast<size_t>(std::min<int64_t>(kCopyChunk, firstObject - done));
        chunk.resize(count);
        int64_t got = file.ReadAt(start + done, chunk.data(), count);
        if (got <= 0) break;
        chunk.resize(static_cast<size_t>(got));
        if (done <= 7 && done + got > 7 && digits) chunk[static_cast<size_t>(7 - done)] = minor;
        m_out.Write(chunk);
        done += got;
    }
}

void AppendJob::ChainOutlines() {
    const int o1 = m_first.outlinesNum;
    const int o2 = m_second.outlinesNum;
    if (o2 == 0 || OutputNumber(o2) == 0) return;
    if (o1 == 0) {
        // Only the second document has outlines: the first catalog points at them.
        int root = m_first.rootNum;
        std::string catalog = m_first.RawText(root);
        if (catalog.empty()) return;
        std::string edited = InsertAfterDictOpen(catalog, "\r/Outlines " + SecondRef(o2));
        WriteObject(root, edited, m_first.Generation(root));
        return;
    }
    std::string outlines1 = m_first.RawText(o1);
    std::string outlines2 = m_second.RawText(o2);
    int last1 = ReferencedNumber(outlines1, "/Last");
    int last2 = ReferencedNumber(outlines2, "/Last");
    int first2 = ReferencedNumber(outlines2, "/First");
    if (last1 == 0 || OutputNumber(last2) == 0 || OutputNumber(first2) == 0 || last1 == o1 ||
        !m_first.InUse(last1)) {
        return;
    }
    WriteObject(o1, ReplaceEntryValue(outlines1, "/Last", SecondRef(last2)),
                m_first.Generation(o1));
    std::string lastItem = m_first.RawText(last1);
    if (lastItem.empty()) return;
    WriteObject(last1, InsertAfterDictOpen(lastItem, "\r/Next " + SecondRef(first2)),
                m_first.Generation(last1));
}

void AppendJob::CopyFirstDocument() {
    m_referenced.assign(static_cast<size_t>(m_first.Size()), false);
    for (int i = 1; i < m_first.Size(); ++i) {
        OutputEntry& entry = m_table[static_cast<size_t>(i)];
        if (auto held = m_heldLengths.find(i); held != m_heldLengths.end()) {
            entry.measure = MeasureBody(ObjectBody(held->second));
            entry.generation = m_first.Generation(i);
            continue;
        }
        std::string raw = m_first.RawText(i);
        CountSearch();
        if (raw.empty()) continue;
        if (i == m_first.pagesNum) {
            NoteReferences(DictionaryPart(raw));
            m_firstPagesText = std::move(raw);
            continue;
        }
        if (IsLayoutObject(raw)) continue;
        // The reader gives no text for a table entry that leads to another object's header.
        int generation = m_first.Generation(i);
        auto header = ReadObjectHeader(raw);
        if (header) generation = header->generation;
        // Objects of the second document are matched against the first's as they stand in
        // the input, before any length is written in.
        BodyMeasure measure = MeasureBody(ObjectBody(raw));
        std::string text = InlineLength(i, raw);
        NoteReferences(DictionaryPart(text));
        WriteObject(i, text, generation);
        entry.measure = measure;
    }
}

void AppendJob::CopySecondDocument() {
    for (int j = 1; j < m_second.Size(); ++j) {
        if (m_dupState[static_cast<size_t>(j)] == DupState::Duplicate) continue;
        const int out = OutputNumber(j);
        if (out == 0) continue;
        std::string raw = m_second.RawText(j);
        CountSearch();
        if (raw.empty()) continue;
        if (j == m_second.pagesNum) m_secondPagesText = raw;
        if (IsLayoutObject(raw)) continue;
        std::string_view dict = DictionaryPart(raw);
        std::string head = SetObjectHeader(RenumberSecond(std::string(dict)), out, 0);
        if (j == m_second.pagesNum) {
            std::string parent = Ref(m_first.pagesNum);
            head = FindEntry(head, "/Parent") ? ReplaceEntryValue(head, "/Parent", parent)
                                              : InsertAfterDictOpen(head, "\r/Parent " + parent);
        }
        WriteObject(out, head + raw.substr(dict.size()), 0);
    }
}

std::string AppendJob::RenumberSecond(const std::string& dictPart) {
    return ReplaceReferences(dictPart,
                             [this](const RefToken& ref) { return SecondReference(ref.number); });
}

void AppendJob::NumberSecondDocument() {
    // The second document's written objects follow the first's without gaps, so that the
    // objects it shares with the first leave no free entries in the table.
    int next = m_first.Size();
    for (int j = 1; j < m_second.Size(); ++j) {
        bool written = m_second.InUse(j) && j != m_second.rootNum && j != m_second.infoNum &&
                       m_dupState[static_cast<size_t>(j)] != DupState::Duplicate;
        if (written) {
            m_target[static_cast<size_t>(j)] = next++;
        } else if (m_dupState[static_cast<size_t>(j)] != DupState::Duplicate) {
            m_target[static_cast<size_t>(j)] = 0;
        }
    }
    m_table.resize(static_cast<size_t>(next));
}

int AppendJob::OutputNumber(int j) const {
    if (j < 1 || j >= m_second.Size()) return 0;
    bool duplicate = m_dupState[static_cast<size_t>(j)] == DupState::Duplicate;
    int target = m_target[static_cast<size_t>(j)];
    return duplicate || target >= m_first.Size() ? target : 0;
}

std::string AppendJob::SecondRef(int j) const {
    return Ref(OutputNumber(j));
}

std::string AppendJob::SecondReference(int number) {
    // A reference to an object the output does not hold (free, out of the table, or the
    // second catalog) is a dangling one; it becomes null rather than landing on an unrelated
    // object of the output.
    int out = OutputNumber(number);
    if (out == 0) return "null";
    if (out < m_first.Size()) m_referenced[static_cast<size_t>(out)] = true;
    return Ref(out, m_table[static_cast<size_t>(out)].generation);
}

void AppendJob::JoinPageTrees() {
    const int p1 = m_first.pagesNum;
    const int p2 = m_second.pagesNum;
    if (m_firstPagesText.empty())
        throw CPdfException(WithName("Can't find the page tree of '%s'", m_first.name));
    auto countOf = [](AppendInput& input, int pages) -> long long {
        CPdfObject node = input.document.GetXRef().Resolve(pages, input.Generation(pages));
        if (!node.IsDict()) return 0;
        CPdfObject count = node.GetDict().Lookup("Count");
        return count.IsInt() ? count.GetInt() : 0;
    };
    const long long total = countOf(m_first, p1) + countOf(m_second, p2);
    const std::string kid = " " + SecondRef(p2) + " ";

    std::string text = m_firstPagesText;
    std::string_view dict = DictionaryPart(text);
    if (auto kids = FindArrayValue(dict, "/Kids")) {
        text.insert(kids->close, kid);
    } else if (auto kidsRef = FindReferenceValue(dict, "/Kids")) {
        std::string array = m_first.RawText(kidsRef->number);
        size_t open = array.find('[');
        size_t close = open == std::string::npos ? open : array.find(']', open);
        if (close != std::string::npos) {
            array.insert(close, kid);
            WriteObject(kidsRef->number, array, m_first.Generation(kidsRef->number));
        }
    }
    dict = DictionaryPart(text);
    if (auto count = FindIntegerValue(dict, "/Count")) {
        text.replace(count->begin, count->end - count->begin, std::to_string(total));
    } else if (auto countRef = FindReferenceValue(dict, "/Count")) {
        int num = countRef->number;
        if (m_first.InUse(num)) {
            WriteObject(num,
                        std::to_string(num) + " " + std::to_string(m_first.Generation(num)) +
                            " obj\n" + std::to_string(total) + "\nendobj\n",
                        m_first.Generation(num));
        }
    }
    WriteObject(p1, text, m_first.Generation(p1));
}

void AppendJob::Finish() {
    WriteNeededLengths();
    std::vector<CPdfOutputEntry> entries(m_table.size());
    for (size_t i = 0; i < m_table.size(); ++i) {
        entries[i].offset = m_table[i].written ? m_table[i].offset : 0;
        entries[i].generation = m_table[i].generation;
        entries[i].inUse = m_table[i].written;
    }
    m_out.Write(XRefAndTrailerText(entries, m_first.rootNum, m_first.infoNum, m_out.Position()));
    if (!m_out.Commit()) throw CPdfException(WithName("File output error: '%s'", m_outputName));
    m_first.document.Close();
    m_second.document.Close();
    Print("\n");
}

void AppendJob::WriteObject(int outNum, const std::string& text, int generation) {
    OutputEntry& entry = m_table[static_cast<size_t>(outNum)];
    entry.offset = m_out.Position();
    entry.generation = generation;
    entry.written = true;
    m_out.Write(text);
}

void AppendJob::CountSearch() {
    if (++m_searches > kSearchesPerDot) {
        Print(".");
        m_searches = 0;
    }
}

}  // namespace gridane
