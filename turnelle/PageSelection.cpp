#include "turnelle/PageSelection.h"

#include <array>

#include "turnelle/TurnelleSettings.h"

namespace turnelle {

namespace {

// Every other page from `first` on: "first,first+2,...", up to `pageCount`. The first number
// is written even when it lies beyond the count, so that the parser reports it.
std::string EveryOtherPage(long first, long pageCount) {
    std::string text = std::to_string(first);
    for (long page = first + 2; page <= pageCount; page += 2) {
        text += ',';
        text += std::to_string(page);
    }
    return text;
}

std::string Range(long first, long last) {
    return std::to_string(first) + "-" + std::to_string(last);
}

constexpr std::array<int, 6> kQuarterTurns = {90, 180, 270, -90, -180, -270};

// kCombined[old][angle], both indexed as in kQuarterTurns.
constexpr int kCombined[6][6] = {
    {180, 270, 0, 0, -90, -180},  //   90
    {270, 0, 90, 90, 0, -90},     //  180
    {0, 90, -180, 180, 90, 0},    //  270
    {0, 90, 180, -180, -270, 0},  //  -90
    {-90, 0, 90, -270, 0, -90},   // -180
    {-180, -90, 0, 0, -90, 180},  // -270
};

int QuarterTurnIndex(int value) {
    for (size_t i = 0; i < kQuarterTurns.size(); ++i) {
        if (kQuarterTurns[i] == value) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

std::string BuildSelectionText(int type, int pageCount, const std::string& rotatePages) {
    const long count = pageCount;
    switch (type) {
        case kSelectAll:
            return Range(1, count);
        case kSelectOdd:
            return EveryOtherPage(1, count);
        case kSelectEven:
            return EveryOtherPage(2, count);
        case kSelectFirstHalf:
            return Range(1, count / 2);
        case kSelectSecondHalf:
            return Range(count / 2 + 1, count);
        default:
            return rotatePages;
    }
}

int CombineRotation(int oldValue, int angle) {
    if (oldValue % 90 != 0 || angle % 90 != 0) return angle;
    const int oldTurn = oldValue % 360;
    const int addedTurn = angle % 360;
    if (addedTurn == 0) return oldValue;
    if (oldTurn == 0) return angle;
    return kCombined[QuarterTurnIndex(oldTurn)][QuarterTurnIndex(addedTurn)];
}

}  // namespace turnelle
