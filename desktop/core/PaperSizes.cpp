#include "desktop/core/PaperSizes.h"

#include <array>

#include "paper/PaperTable.h"

namespace desktop {
namespace {

constexpr size_t kListed = 56;

std::array<std::string_view, kListed + 1> MakeNames() {
    std::array<std::string_view, kListed + 1> names{};
    std::span<const paper::Paper> papers = paper::DialogPapers();
    for (size_t i = 0; i < kListed && i < papers.size(); ++i) names[i] = papers[i].name;
    names[kListed] = kCustomPaper;
    return names;
}

// The dialog's pair of a name of its list, or nullptr.
const paper::DialogSize* Find(std::string_view name) {
    const paper::Paper* found = paper::FindPaper(name);
    if (found == nullptr || found->dialog.widthPt == 0) return nullptr;
    return &found->dialog;
}

}  // namespace

std::span<const std::string_view> PaperSizeNames() {
    static const std::array<std::string_view, kListed + 1> names = MakeNames();
    return names;
}

std::optional<PointSize> LookupPoints(std::string_view name) {
    const paper::DialogSize* size = Find(name);
    if (size == nullptr) return std::nullopt;
    return PointSize{size->widthPt, size->heightPt};
}

std::optional<MillimetreSize> LookupMillimetres(std::string_view name) {
    const paper::DialogSize* size = Find(name);
    if (size == nullptr) return std::nullopt;
    return MillimetreSize{size->widthMm, size->heightMm};
}

std::string_view PaperNameForPoints(int width, int height) {
    for (const paper::Paper& row : paper::DialogPapers()) {
        if (row.dialog.widthPt == width && row.dialog.heightPt == height) return row.name;
    }
    return kCustomPaper;
}

std::string_view PaperNameForMillimetres(double width, double height) {
    for (const paper::Paper& row : paper::DialogPapers()) {
        if (row.dialog.widthMm == width && row.dialog.heightMm == height) return row.name;
    }
    return kCustomPaper;
}

bool ChoosePaperPoints(std::string_view name, int& width, int& height) {
    if (name == kCustomPaper) return true;
    if (std::optional<PointSize> size = LookupPoints(name)) {
        width = size->width;
        height = size->height;
    }
    return false;
}

bool ChoosePaperMillimetres(std::string_view name, double& width, double& height) {
    if (name == kCustomPaper) return true;
    if (std::optional<MillimetreSize> size = LookupMillimetres(name)) {
        width = size->width;
        height = size->height;
    }
    return false;
}

}  // namespace desktop
