#include "desktop/core/ProposedOutput.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace desktop {

std::string LayoutWord(const JobSetup& setup) {
    if (!setup.tile.empty() || !setup.poster.empty()) return "poster";
    if (setup.fold != 0) return "signatures";
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

namespace {

// A bound keeps a folder that claims every name from holding the window.
constexpr int kMaxProposalNumber = 10000;

// "FOLDER/TITLE-WORD" for the input of `setup`; empty without an input title.
std::string ProposalBase(const JobSetup& setup, const std::string& word) {
    if (setup.inFile.empty()) return {};
    std::filesystem::path input(setup.inFile);
    std::string stem = input.stem().string();
    if (stem.empty()) return {};
    return (input.parent_path() / (stem + "-" + word)).string();
}

std::string ProposalBase(const JobSetup& setup) {
    return ProposalBase(setup, LayoutWord(setup));
}

}  // namespace

std::string ProposedOutputName(const JobSetup& setup,
                               const std::function<bool(const std::string&)>& exists) {
    std::string base = ProposalBase(setup);
    if (base.empty()) return {};
    std::string name = base + ".pdf";
    for (int k = 2; exists(name); ++k) {
        if (k == kMaxProposalNumber) return {};
        name = base + "-" + std::to_string(k) + ".pdf";
    }
    return name;
}

bool IsProposedOutputName(const JobSetup& setup) {
    std::string base = ProposalBase(setup);
    const std::string& name = setup.outFile;
    if (base.empty() || name.rfind(base, 0) != 0) return false;
    std::string_view rest = std::string_view(name).substr(base.size());
    if (rest == ".pdf") return true;
    if (rest.size() < 6 || rest.front() != '-' || !rest.ends_with(".pdf")) return false;
    std::string_view number = rest.substr(1, rest.size() - 5);
    if (number.size() > 4 || number.front() == '0') return false;
    for (char c : number) {
        if (c < '0' || c > '9') return false;
    }
    int k = std::stoi(std::string(number));
    return k >= 2 && k < kMaxProposalNumber;
}

std::string ProposedOutputName(const JobSetup& setup) {
    return ProposedOutputName(setup, [](const std::string& name) {
        std::error_code error;
        return std::filesystem::exists(name, error) || error;
    });
}

std::string CalibrationSheetName(const JobSetup& setup) {
    std::string base = ProposalBase(setup, "calibration");
    return base.empty() ? base : base + ".pdf";
}

}  // namespace desktop
