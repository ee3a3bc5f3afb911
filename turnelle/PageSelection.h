// Pure decisions of a rotation run, made over numbers only: which page-range text a `type`
// stands for, and which /Rotate value a selected page ends with.
#pragma once

#include <string>

namespace turnelle {

// The page-range text for `type` on a document of `pageCount` pages: "1-N" for all pages,
// "1,3,5,..." for odd, "2,4,6,..." for even, "1-N/2" and "N/2+1-N" for the halves, and
// `rotatePages` unchanged for any other type.
std::string BuildSelectionText(int type, int pageCount, const std::string& rotatePages);

// The /Rotate value of a selected page whose rotation is `oldValue` when `angle` is added
// to it (the `force` setting). Quarter turns in the range -270..270 combine by a fixed table
// that keeps the sign conventions callers rely on; other multiples of 90 are first reduced
// to that range; an angle of a whole number of turns leaves the page as it was; a value that
// is not a quarter turn gives `angle`.
int CombineRotation(int oldValue, int angle);

// The value a selected page gets: `angle`, or with `force` the combination above.
inline int NewRotation(int oldValue, int angle, bool force) {
    return force ? CombineRotation(oldValue, angle) : angle;
}

}  // namespace turnelle
