#include "gridane/merge/ResourceText.h"

#include <set>

#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfRawTokens.h"

namespace gridane {

namespace {

// Page trees deeper than this are damaged or hostile; inheritance stops there.
constexpr int kMaxTreeDepth = 64;

// The "<< ... >>" of an object's raw text (from its first "<<" to the matching ">>").
std::string OuterDictionary(std::string_view raw) {
    std::string_view dict = DictionaryPart(raw);
    PdfTokenReader reader(dict);
    int depth = 0;
    size_t open = kNotFound;
    while (std::optional<PdfToken> token = reader.Next()) {
        if (token->kind == PdfTokenKind::DictOpen && depth++ == 0) open = token->begin;
        if (token->kind == PdfTokenKind::DictClose && depth > 0 && --depth == 0) {
            return std::string(dict.substr(open, token->end - open));
        }
    }
    return std::string();
}

}  // namespace

std::vector<DictEntryText> ListDictEntries(std::string_view dictText) {
    std::vector<DictEntryText> entries;
    PdfTokenReader reader(dictText);
    int depth = 0;
    while (std::optional<PdfToken> token = reader.Next()) {
        if (token->kind == PdfTokenKind::DictOpen) {
            ++depth;
            continue;
        }
        if (token->kind == PdfTokenKind::DictClose) {
            if (--depth == 0) break;
            continue;
        }
        if (depth != 1 || token->kind != PdfTokenKind::Name) continue;
        std::optional<PdfToken> value = reader.Next();
        if (!value || value->kind == PdfTokenKind::DictClose ||
            value->kind == PdfTokenKind::ArrayClose) {
            break;
        }
        size_t valueEnd = ReadValueEnd(*value, reader);
        std::string_view key = dictText.substr(token->begin, token->end - token->begin);
        DictEntryText item;
        item.keyText = std::string(key);
        item.name = DecodePdfName(key);
        item.valueText = std::string(dictText.substr(value->begin, valueEnd - value->begin));
        entries.push_back(std::move(item));
    }
    return entries;
}

std::string EntryValueText(std::string_view text, std::string_view key) {
    std::string_view dict = DictionaryPart(text);
    auto entry = FindEntry(dict, key);
    if (!entry) return std::string();
    return std::string(dict.substr(entry->valueBegin, entry->valueEnd - entry->valueBegin));
}

std::string ResolveDictText(MergeContext& context, std::string_view valueText) {
    if (valueText.substr(0, 2) == "<<") return std::string(valueText);
    auto ref = ReferenceAt(valueText, 0);
    if (!ref) return std::string();
    return OuterDictionary(context.InputRawText(ref->number));
}

std::string EffectiveResourcesText(MergeContext& context, int pageObjectNumber,
                                   ResourcesByNode* inherited) {
    std::set<int> visited;
    std::vector<int> ancestorsRead;  // told what they give once it is found
    std::string found;
    int node = pageObjectNumber;
    for (int depth = 0; depth < kMaxTreeDepth && node > 0 && visited.insert(node).second; ++depth) {
        if (inherited != nullptr && node != pageObjectNumber) {
            if (auto known = inherited->find(node); known != inherited->end()) {
                found = known->second;
                break;
            }
            ancestorsRead.push_back(node);
        }
        std::string raw = context.InputRawText(node);
        std::string value = EntryValueText(raw, "/Resources");
        if (!value.empty()) {
            found = ResolveDictText(context, value);
            break;
        }
        auto parent = FindReferenceValue(DictionaryPart(raw), "/Parent");
        node = parent ? parent->number : 0;
    }
    if (inherited != nullptr) {
        for (int ancestor : ancestorsRead) inherited->emplace(ancestor, found);
    }
    return found;
}

std::string CategoryDictText(MergeContext& context, std::string_view resourcesText,
                             std::string_view category) {
    std::string value = EntryValueText(resourcesText, category);
    if (value.empty()) return std::string();
    return ResolveDictText(context, value);
}

}  // namespace gridane
