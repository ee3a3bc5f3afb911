// The edits the sheet writers make to a page's raw text: its boxes, its /Rotate and its
// /Contents array, on top of the raw-text editing module of the PDF layer. Pure text
// functions on byte positions; the callers decide from parsed values which edit applies.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gridane/JobSettings.h"
#include "pdf/CPdfRawEdit.h"

namespace gridane {

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

// "/Rotate <value>" up to the next "/", "<" or ">" becomes "/Rotate %d\n". A text without
// /Rotate gets one only when `degrees` is not 0 (a template turns sheets of unturned pages).
void ReplaceRotateEntry(std::string& text, int degrees);

// Puts the sheet's contents array text into the page text, by how /Contents is written there.
enum class ContentsForm {
    Absent,       // inserted as "/Contents [ ... ]\n" after the first "<<"
    Reference,    // the reference is replaced by " [ ... ] "
    DirectArray,  // the array's elements are replaced
    Other,        // left alone
};
void PutContentsArray(std::string& text, ContentsForm form, std::string_view arrayText);

}  // namespace gridane
