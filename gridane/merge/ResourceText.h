// Reading resource dictionaries as text: the entries of a page's effective Resources (its own,
// or inherited from the page tree), category by category, with each value's text as written,
// so that entries can be copied into a merged dictionary whatever their form (references,
// direct arrays, direct dictionaries).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "gridane/merge/MergeContext.h"

namespace gridane {

// One entry of a dictionary text.
struct DictEntryText {
    std::string name;       // decoded, without the slash
    std::string keyText;    // as written, with the slash
    std::string valueText;  // as written
};

// The entries of the outermost dictionary of `dictText`, in their order.
std::vector<DictEntryText> ListDictEntries(std::string_view dictText);

// The value text of `key` in the outermost dictionary of `text`; empty when absent.
std::string EntryValueText(std::string_view text, std::string_view key);

// The dictionary a value text stands for: the value itself when it is "<< ... >>", the
// dictionary of the referenced object when it is a reference; empty otherwise.
std::string ResolveDictText(MergeContext& context, std::string_view valueText);

// The Resources dictionary text that applies to page `pageObjectNumber`: its own, or that of
// the nearest ancestor in the page tree that has one; empty when none. With `inherited`, what
// each ancestor passes on is remembered there, so that a node (the root of a flat tree with
// thousands of kids) is read once for all its pages, not once per page.
using ResourcesByNode = std::map<int, std::string>;
std::string EffectiveResourcesText(MergeContext& context, int pageObjectNumber,
                                   ResourcesByNode* inherited = nullptr);

// The dictionary text of one category ("/Font") of a Resources dictionary text; empty when the
// category is absent or not a dictionary.
std::string CategoryDictText(MergeContext& context, std::string_view resourcesText,
                             std::string_view category);

}  // namespace gridane
