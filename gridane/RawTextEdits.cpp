#include "gridane/RawTextEdits.h"

#include "gridane/TextFormat.h"

namespace gridane {

namespace {

// " %f %f %f %f" of the box's numbers.
std::string BoxNumbers(const Box& box) {
    std::string text;
    for (double value : {box.x1, box.y1, box.x2, box.y2}) {
        text += ' ';
        AppendSixDecimals(text, value);
    }
    return text;
}

}  // namespace

std::string BoxValueText(const Box& box) {
    return "[" + BoxNumbers(box) + "]\n";
}

std::string BoxEntryText(std::string_view key, const Box& box) {
    return std::string(key) + " [" + BoxNumbers(box) + " ]\n";
}

bool ReplaceBoxValue(std::string& text, std::string_view key, const Box& box) {
    size_t at = FindKey(text, key);
    if (at == std::string::npos) return false;
    size_t value = SkipPdfWhiteSpace(text, at + key.size());
    if (value < text.size() && text[value] == '[') {
        size_t close = text.find(']', value);
        if (close == std::string::npos) return false;
        text.replace(value, close + 1 - value, BoxValueText(box));
        return true;
    }
    if (auto reference = ReferenceAt(text, value)) {
        text.replace(reference->begin, reference->end - reference->begin, BoxValueText(box));
        return true;
    }
    return false;
}

void EditBoxEntry(std::string& text, std::string_view key, const Box& box, bool insertWhenAbsent) {
    if (ReplaceBoxValue(text, key, box)) return;
    if (insertWhenAbsent && FindKey(text, key) == std::string::npos) {
        text = InsertAfterDictOpen(text, BoxEntryText(key, box));
    }
}

void ReplaceRotateEntry(std::string& text, int degrees) {
    size_t at = FindKey(text, "/Rotate");
    if (at == std::string::npos) {
        if (degrees != 0)
            text = InsertAfterDictOpen(text, "/Rotate " + std::to_string(degrees) + "\n");
        return;
    }
    size_t end = text.find_first_of("/<>", at + 1);
    if (end == std::string::npos) end = text.size();
    text.replace(at, end - at, "/Rotate " + std::to_string(degrees) + "\n");
}

void PutContentsArray(std::string& text, ContentsForm form, std::string_view arrayText) {
    switch (form) {
        case ContentsForm::Absent:
            text = InsertAfterDictOpen(text, "/Contents [ " + std::string(arrayText) + " ]\n");
            return;
        case ContentsForm::Reference: {
            size_t at = FindKey(text, "/Contents");
            if (at == std::string::npos) return;
            if (auto reference = ReferenceAt(text, at + 9)) {
                text.replace(reference->begin, reference->end - reference->begin,
                             " [ " + std::string(arrayText) + " ] ");
            }
            return;
        }
        case ContentsForm::DirectArray: {
            size_t at = FindKey(text, "/Contents");
            if (at == std::string::npos) return;
            size_t open = text.find('[', at);
            if (open == std::string::npos) return;
            size_t close = text.find(']', open);
            if (close == std::string::npos) return;
            text.replace(open + 1, close - open - 1, arrayText);
            return;
        }
        case ContentsForm::Other:
            return;
    }
}

}  // namespace gridane
