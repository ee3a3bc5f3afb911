#include "gridane/RawTextEdits.h"

#include <cctype>

#include "gridane/TextFormat.h"
#include "pdf/CPdfRawScan.h"

namespace gridane {
namespace {

// End of the dictionary or array opening at `at`, nesting and strings taken into account.
size_t SkipContainer(std::string_view text, size_t at) {
    int depth = 0;
    size_t i = at;
    while (i < text.size()) {
        char c = text[i];
        if (c == '(') {
            i = SkipLiteralString(text, i);
            continue;
        }
        if (c == '<' && i + 1 < text.size() && text[i + 1] == '<') {
            ++depth;
            i += 2;
        } else if (c == '>' && i + 1 < text.size() && text[i + 1] == '>') {
            i += 2;
            if (--depth == 0) return i;
        } else if (c == '[') {
            ++depth;
            ++i;
        } else if (c == ']') {
            ++i;
            if (--depth == 0) return i;
        } else {
            ++i;
        }
    }
    return text.size();
}

}  // namespace

size_t FindKey(std::string_view text, std::string_view key, size_t from) {
    for (size_t at = text.find(key, from); at != std::string_view::npos;
         at = text.find(key, at + 1)) {
        size_t after = at + key.size();
        if (after >= text.size() || IsPdfWhiteSpace(text[after]) || IsPdfDelimiter(text[after]))
            return at;
    }
    return std::string_view::npos;
}

std::string BoxValueText(const Box& box) {
    return FormatText("[ %f %f %f %f]\n", box.x1, box.y1, box.x2, box.y2);
}

std::string BoxEntryText(std::string_view key, const Box& box) {
    return std::string(key) + FormatText(" [ %f %f %f %f ]\n", box.x1, box.y1, box.x2, box.y2);
}

std::optional<TextSpan> FindReferenceAt(std::string_view text, size_t from) {
    size_t number = SkipPdfWhiteSpace(text, from);
    size_t numberEnd = SkipPdfDigits(text, number);
    if (numberEnd == number) return std::nullopt;
    size_t generation = SkipPdfWhiteSpace(text, numberEnd);
    if (generation == numberEnd) return std::nullopt;
    size_t generationEnd = SkipPdfDigits(text, generation);
    if (generationEnd == generation) return std::nullopt;
    size_t keyword = SkipPdfWhiteSpace(text, generationEnd);
    if (keyword == generationEnd || keyword >= text.size() || text[keyword] != 'R') {
        return std::nullopt;
    }
    return TextSpan{number, keyword + 1};
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
    if (auto reference = FindReferenceAt(text, value)) {
        text.replace(reference->first, reference->last - reference->first, BoxValueText(box));
        return true;
    }
    return false;
}

void EditBoxEntry(std::string& text, std::string_view key, const Box& box, bool insertWhenAbsent) {
    if (FindKey(text, key) != std::string::npos) {
        ReplaceBoxValue(text, key, box);
    } else if (insertWhenAbsent) {
        text = InsertAfterDictOpen(text, BoxEntryText(key, box));
    }
}

void ReplaceRotateEntry(std::string& text, int degrees) {
    size_t at = FindKey(text, "/Rotate");
    if (at == std::string::npos) return;
    size_t end = text.find_first_of("/<>", at + 1);
    if (end == std::string::npos) end = text.size();
    text.replace(at, end - at, "/Rotate " + std::to_string(degrees) + "\n");
}

bool ReplaceParentReference(std::string& text, int number, int generation) {
    size_t at = FindKey(text, "/Parent");
    if (at == std::string::npos) return false;
    std::string reference = std::to_string(number) + " " + std::to_string(generation) + " R";
    if (auto span = FindReferenceAt(text, at + 7)) {
        text.replace(span->first, span->last - span->first, reference);
        return true;
    }
    // Not a well-formed reference: renumber the first run of digits, as far as there is one.
    size_t digits = at + 7;
    while (digits < text.size() && !IsPdfDigit(text[digits])) ++digits;
    size_t end = SkipPdfDigits(text, digits);
    if (end > digits) text.replace(digits, end - digits, std::to_string(number));
    return true;
}

bool RenumberObjectHeader(std::string& text, int number, int generation) {
    size_t first = SkipPdfWhiteSpace(text, 0);
    size_t numberEnd = SkipPdfDigits(text, first);
    size_t generationStart = SkipPdfWhiteSpace(text, numberEnd);
    size_t generationEnd = SkipPdfDigits(text, generationStart);
    size_t keyword = SkipPdfWhiteSpace(text, generationEnd);
    if (numberEnd == first || generationEnd == generationStart ||
        text.compare(keyword, 3, "obj") != 0) {
        return false;
    }
    text.replace(first, keyword - first,
                 std::to_string(number) + " " + std::to_string(generation) + " ");
    return true;
}

void PutContentsArray(std::string& text, ContentsForm form, std::string_view arrayText) {
    switch (form) {
        case ContentsForm::Absent:
            text = InsertAfterDictOpen(text, "/Contents [ " + std::string(arrayText) + " ]\n");
            return;
        case ContentsForm::Reference: {
            size_t at = FindKey(text, "/Contents");
            if (at == std::string::npos) return;
            if (auto span = FindReferenceAt(text, at + 9)) {
                text.replace(span->first, span->last - span->first,
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

std::optional<std::string> DirectValueText(std::string_view text, std::string_view key) {
    size_t at = FindKey(text, key);
    if (at == std::string_view::npos) return std::nullopt;
    size_t value = SkipPdfWhiteSpace(text, at + key.size());
    if (value >= text.size()) return std::nullopt;
    size_t end;
    if (text[value] == '[' ||
        (text[value] == '<' && value + 1 < text.size() && text[value + 1] == '<')) {
        end = SkipContainer(text, value);
    } else if (auto reference = FindReferenceAt(text, value)) {
        end = reference->last;
    } else {
        end = value + 1;
        while (end < text.size() && !IsPdfWhiteSpace(text[end]) && !IsPdfDelimiter(text[end]))
            ++end;
    }
    return std::string(text.substr(value, end - value));
}

}  // namespace gridane
