// Edits of raw object text, the way the engine changes page objects: find a key, replace its
// value or insert an entry after the first "<<". Everything works on byte positions in the
// text; the callers decide from parsed values which edit applies. Pure text functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gridane/JobSettings.h"
#include "pdf/CPdfRawScan.h"

namespace gridane {

// Position of the first occurrence of the name `key` (with its slash) that is a whole name,
// i.e. not followed by another name character; npos when there is none.
size_t FindKey(std::string_view text, std::string_view key, size_t from = 0);

// The box as written into an existing entry: "[ %f %f %f %f]\n".
std::string BoxValueText(const Box& box);
// A whole entry as inserted: "/Key [ %f %f %f %f ]\n".
std::string BoxEntryText(std::string_view key, const Box& box);

// Replaces the value of `key` by the box: a direct array from its "[" through its "]", or an
// indirect reference "n g R" (which would otherwise leave the next array of the text to be
// overwritten). False when the key is absent or its value is neither.
bool ReplaceBoxValue(std::string& text, std::string_view key, const Box& box);

// The box edit of a sheet: replace the key's value; when the key is absent, insert the entry
// after the first "<<" if `insertWhenAbsent`, else leave the text alone.
void EditBoxEntry(std::string& text, std::string_view key, const Box& box, bool insertWhenAbsent);

// "/Rotate <value>" up to the next "/", "<" or ">" becomes "/Rotate %d\n"; nothing when the
// text has no /Rotate.
void ReplaceRotateEntry(std::string& text, int degrees);

// Points "/Parent n g R" at `number` `generation`; false when the text has no /Parent.
bool ReplaceParentReference(std::string& text, int number, int generation);

// The span [first, last) of an indirect reference "n g R" starting at or after `from` (after
// white space only); nullopt when the bytes there are no reference.
struct TextSpan {
    size_t first = 0;
    size_t last = 0;
};
std::optional<TextSpan> FindReferenceAt(std::string_view text, size_t from);

// Gives an object text "n g obj ..." the number and generation of another object; false when
// the text does not start with an object header.
bool RenumberObjectHeader(std::string& text, int number, int generation);

// Puts the sheet's contents array text into the page text, by how /Contents is written there.
enum class ContentsForm {
    Absent,       // inserted as "/Contents [ ... ]\n" after the first "<<"
    Reference,    // the reference is replaced by " [ ... ] "
    DirectArray,  // the array's elements are replaced
    Other,        // left alone
};
void PutContentsArray(std::string& text, ContentsForm form, std::string_view arrayText);

// The text of the direct value of `key` in a raw object text: a dictionary "<< ... >>" (nested
// dictionaries and strings taken into account), an array, or a single token. Used to copy an
// attribute that a page inherits from an inner node of its page tree into the page itself.
std::optional<std::string> DirectValueText(std::string_view text, std::string_view key);

}  // namespace gridane
