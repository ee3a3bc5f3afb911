// Finding the objects of the second document that are identical to objects of the first, so
// that they are not written again (part of AppendJob).
//
// An object is a duplicate when every object it refers to is a duplicate and its body, with
// each reference replaced by the number it will have in the output, measures like the body of
// an object of the first document. Page-tree objects, object streams, objects with a parent and
// embedded TrueType font programs are only tested when reached from an annotation; the second
// page-tree root is always written.
#include <string_view>

#include "gridane/merge/AppendJob.h"
#include "pdf/CPdfRawEdit.h"

namespace gridane {

namespace {

// Deeper reference chains are not followed; their objects are simply written again.
constexpr int kMaxDuplicateDepth = 400;

uint64_t MeasureKey(const BodyMeasure& measure) {
    return (uint64_t{measure.size} << 32) | measure.checksum;
}

bool ExcludedFromTest(std::string_view raw) {
    for (std::string_view word : {"/Page", "/ObjStm", "/Parent", "/FontFile2"}) {
        if (raw.find(word) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace

void AppendJob::FindDuplicates() {
    const size_t count = static_cast<size_t>(m_second.Size());
    m_target.resize(count);
    for (size_t j = 0; j < count; ++j) m_target[j] = static_cast<int>(j);
    m_dupState.assign(count, DupState::Unknown);
    for (int i = m_first.Size() - 1; i >= 1; --i) {
        const auto& measure = m_table[static_cast<size_t>(i)].measure;
        if (measure) m_firstEntryByMeasure[MeasureKey(*measure)] = i;  // lowest number wins
    }
    for (int j = 1; j < m_second.Size(); ++j) {
        if (m_second.InUse(j) && m_dupState[static_cast<size_t>(j)] == DupState::Unknown) {
            IsDuplicate(j, false, 0);
        }
    }
    // The second page root's count is its own, however it measures.
    std::string pages = m_second.RawText(m_second.pagesNum);
    if (auto countRef = FindReferenceValue(DictionaryPart(pages), "/Count")) {
        if (countRef->number >= 1 && countRef->number < m_second.Size()) {
            m_dupState[static_cast<size_t>(countRef->number)] = DupState::Distinct;
        }
    }
}

bool AppendJob::IsDuplicate(int j, bool fromAnnotation, int depth) {
    if (!m_second.InUse(j) || j == m_second.pagesNum) return false;
    DupState& state = m_dupState[static_cast<size_t>(j)];
    if (state == DupState::Testing || state == DupState::Duplicate) return true;
    if (state == DupState::Distinct || depth > kMaxDuplicateDepth) return false;

    std::string raw = m_second.RawText(j);
    CountSearch();
    if (raw.empty()) return false;
    if (ExcludedFromTest(raw) && !fromAnnotation) return false;

    state = DupState::Testing;
    const bool annotation = raw.find("Annot") != std::string::npos;
    std::string_view dict = DictionaryPart(raw);
    for (const RefToken& ref : FindReferences(dict)) {
        if (!IsDuplicate(ref.number, annotation, depth + 1)) {
            m_dupState[static_cast<size_t>(j)] = DupState::Distinct;
            return false;
        }
    }
    // Measure the body as it would read in the output: references to duplicates carry the
    // numbers of the first document's objects they stand for.
    std::string renumbered = ReplaceReferences(dict, [this](const RefToken& ref) {
        return std::to_string(m_target[static_cast<size_t>(ref.number)]) + " " +
               std::to_string(ref.generation) + " R";
    });
    renumbered.append(std::string_view(raw).substr(dict.size()));
    BodyMeasure measure = MeasureBody(ObjectBody(renumbered));
    std::optional<int> match = MatchFirstEntry(j, measure);
    if (!match) {
        m_dupState[static_cast<size_t>(j)] = DupState::Distinct;
        return false;
    }
    m_dupState[static_cast<size_t>(j)] = DupState::Duplicate;
    m_target[static_cast<size_t>(j)] = *match;
    return true;
}

std::optional<int> AppendJob::MatchFirstEntry(int j, const BodyMeasure& measure) const {
    // The object of the same number comes first: appending a document to itself then maps
    // every object onto its own first copy.
    if (j < m_first.Size() && m_table[static_cast<size_t>(j)].measure == measure) return j;
    auto it = m_firstEntryByMeasure.find(MeasureKey(measure));
    if (it == m_firstEntryByMeasure.end()) return std::nullopt;
    return it->second;
}

}  // namespace gridane
