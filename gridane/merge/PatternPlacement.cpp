// Pattern copies for placed cells (part of SheetMerge), and the matrix arithmetic they need.
#include "gridane/merge/PatternPlacement.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

#include "gridane/merge/ResourceText.h"
#include "gridane/merge/SheetMerge.h"
#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfXRef.h"
#include "platform/ClassicNumbers.h"

namespace gridane {

namespace {

double Rounded(double value, double unit) {
    return std::round(value / unit) * unit;
}

std::string NumberText(double value) {
    platform::ClassicNumbers decimalPoint;
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.') number.pop_back();
    return number == "-0" ? "0" : number;
}

// The six numbers of a pattern's /Matrix; the identity when it has none or a malformed one.
Matrix PatternMatrix(const CPdfObject& pattern) {
    Matrix matrix{1, 0, 0, 1, 0, 0};
    if (!pattern.IsDict() && !pattern.IsStream()) return matrix;
    CPdfObject value = pattern.GetDict().Lookup("Matrix");
    if (!value.IsArray() || value.GetArray().GetLength() != 6) return matrix;
    for (int k = 0; k < 6; ++k) {
        CPdfObject element = value.GetArray().Get(k);
        if (!element.IsNum()) return {1, 0, 0, 1, 0, 0};
        matrix[static_cast<size_t>(k)] =
            element.IsInt() ? static_cast<double>(element.GetInt()) : element.GetNum();
        if (!std::isfinite(matrix[static_cast<size_t>(k)])) return {1, 0, 0, 1, 0, 0};
    }
    return matrix;
}

// The same for a pattern given in place, from the text of its dictionary.
Matrix PatternMatrix(std::string_view dictText) {
    Matrix matrix{1, 0, 0, 1, 0, 0};
    std::optional<std::string> value = DirectValueText(dictText, "/Matrix");
    if (!value || value->size() < 2 || value->front() != '[') return matrix;
    platform::ClassicNumbers decimalPoint;
    const char* at = value->c_str() + 1;
    for (double& number : matrix) {
        char* end = nullptr;
        number = std::strtod(at, &end);
        if (end == at || !std::isfinite(number)) return {1, 0, 0, 1, 0, 0};
        at = end;
    }
    return matrix;
}

}  // namespace

Matrix PlacementMatrix(const PagePlacement& p) {
    // The cell's content opens with "1 0 0 1 x y cm" (two decimals) and then its turn and
    // scale (six decimals).
    const double s = Rounded(p.scale, 1e-6);
    const double x = Rounded(p.originX, 0.01);
    const double y = Rounded(p.originY, 0.01);
    if (p.quarterTurns == 1) return {0, -s, s, 0, x, y};
    if (p.quarterTurns == 3) return {0, s, -s, 0, x, y};
    if (p.turned) return {-s, 0, 0, -s, x, y};
    return {s, 0, 0, s, x, y};
}

Matrix Concatenate(const Matrix& m, const Matrix& n) {
    return {m[0] * n[0] + m[1] * n[2],        m[0] * n[1] + m[1] * n[3],
            m[2] * n[0] + m[3] * n[2],        m[2] * n[1] + m[3] * n[3],
            m[4] * n[0] + m[5] * n[2] + n[4], m[4] * n[1] + m[5] * n[3] + n[5]};
}

bool IsIdentity(const Matrix& matrix) {
    return matrix == Matrix{1, 0, 0, 1, 0, 0};
}

std::string MatrixText(const Matrix& matrix) {
    std::string text = "[";
    for (size_t k = 0; k < matrix.size(); ++k) {
        if (k != 0) text += ' ';
        text += NumberText(matrix[k]);
    }
    return text + "]";
}

std::string WithMatrix(std::string_view dictText, const Matrix& matrix) {
    if (FindEntry(dictText, "/Matrix")) {
        return ReplaceEntryValue(dictText, "/Matrix", MatrixText(matrix));
    }
    return InsertAfterDictOpen(dictText, "/Matrix " + MatrixText(matrix) + " ");
}

void SheetMerge::AssignRenameOwners() {
    m_renameOwners.assign(m_cells.size(), 0);
    // (page, placement) -> owner, for the pages with patterns.
    std::map<std::pair<int, std::string>, int> owners;
    std::set<int> pagesSeen;
    for (size_t cell = 0; cell < m_cells.size(); ++cell) {
        const int page = m_cells[cell].pageObjectNumber;
        m_renameOwners[cell] = page;
        if (page <= 0) continue;
        const bool firstShowing = pagesSeen.insert(page).second;
        std::string patterns = CategoryDictText(m_context, CellResources(page), "/Pattern");
        if (ListDictEntries(patterns).empty()) continue;
        auto key = std::make_pair(page, MatrixText(PlacementMatrix(m_cells[cell].placement)));
        int owner = firstShowing ? page : -static_cast<int>(owners.size()) - 1;
        m_renameOwners[cell] = owners.emplace(key, owner).first->second;
    }
}

std::string SheetMerge::PlacedPatternValue(const std::string& valueText,
                                           const PagePlacement& placement) {
    const Matrix cell = PlacementMatrix(placement);
    if (IsIdentity(cell)) return valueText;
    auto ref = ReferenceAt(valueText, 0);
    if (!ref) {
        // A pattern given in place: a shading pattern's dictionary.
        if (valueText.substr(0, 2) != "<<") return valueText;
        return WithMatrix(valueText, Concatenate(PatternMatrix(valueText), cell));
    }
    const std::string key = std::to_string(ref->number) + " " + MatrixText(cell);
    if (auto copy = m_placedPatterns.find(key); copy != m_placedPatterns.end()) {
        return std::to_string(copy->second) + " 0 R";
    }
    std::string raw = m_context.InputRawText(ref->number);
    CPdfObject pattern = m_context.InputXRef().Resolve(ref->number, ref->generation);
    if (raw.empty() || !(pattern.IsDict() || pattern.IsStream())) return valueText;
    const Matrix placed = Concatenate(PatternMatrix(pattern), cell);
    std::string_view dict = DictionaryPart(raw);
    raw = WithMatrix(dict, placed) + raw.substr(dict.size());
    int number = m_context.WriteNewObject([&raw](int n) { return SetObjectHeader(raw, n, 0); });
    m_placedPatterns.emplace(key, number);
    return std::to_string(number) + " 0 R";
}

}  // namespace gridane
