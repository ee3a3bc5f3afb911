#include "desktop/core/ProposedOutput.h"

#include <filesystem>
#include <system_error>

namespace desktop {

std::string LayoutWord(const JobSetup& setup) {
    if (IsChosen(setup.duplex2Up)) return "booklet";
    if (IsChosen(setup.typeAB4)) return "4up-duplex";
    if (setup.processingType.rfind("1up", 0) == 0) return "halves";
    std::string word;
    for (char c : setup.processingType) {
        bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (plain) {
            word += c;
        } else if (!word.empty() && word.back() != '-') {
            word += '-';
        }
    }
    while (!word.empty() && word.back() == '-') word.pop_back();
    return word.empty() ? std::string(kDefaultLayout) : word;
}

std::string ProposedOutputName(const JobSetup& setup,
                               const std::function<bool(const std::string&)>& exists) {
    if (setup.inFile.empty()) return {};
    std::filesystem::path input(setup.inFile);
    std::string stem = input.stem().string();
    if (stem.empty()) return {};
    std::filesystem::path folder = input.parent_path();
    std::string base = stem + "-" + LayoutWord(setup);
    std::string name = (folder / (base + ".pdf")).string();
    // A bound keeps a folder that claims every name from holding the window.
    for (int k = 2; exists(name); ++k) {
        if (k == 10000) return {};
        name = (folder / (base + "-" + std::to_string(k) + ".pdf")).string();
    }
    return name;
}

std::string ProposedOutputName(const JobSetup& setup) {
    return ProposedOutputName(setup, [](const std::string& name) {
        std::error_code error;
        return std::filesystem::exists(name, error) || error;
    });
}

}  // namespace desktop
