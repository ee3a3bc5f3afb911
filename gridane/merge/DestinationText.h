// Explicit destinations ("[page /XYZ left top zoom]", /Fit, /FitH, /FitV, /FitR, /FitB,
// /FitBH, /FitBV) moved with their page onto a sheet: the page reference becomes the page
// object that shows the page, and the coordinates, which are in the page's own space, get the
// placement its drawing got (a move, turned by 180 degrees for a turned cell), as its
// annotations do. Pure functions over texts.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "gridane/merge/AnnotPlacement.h"
#include "pdf/CPdfRawEdit.h"

namespace gridane {

// Where an input page is shown in the output.
struct DestinationTarget {
    int number = 0;  // the output page object that shows it
    int generation = 0;
    PagePlacement placement;  // where its drawing lands on that page
    // The page's visible box in its own coordinates (x1 y1 x2 y2): what a destination that
    // fits the whole page (/Fit, /FitB) fits on a sheet.
    std::array<double, 4> visible{0, 0, 612, 792};
};

// How the input pages are found in the output: the target of an input page object, or
// nullptr when the page shows nowhere; and whether an object number is an input page at all
// (references to anything else are left alone).
struct DestinationPages {
    std::function<const DestinationTarget*(int objectNumber)> targetOf;
    std::function<bool(int objectNumber)> isPage;
    // When given, the text written for every other reference of the text (outside the
    // destinations rewritten); other references are left as they are otherwise.
    std::function<std::string(const RefToken&)> otherReference;
};

// The text of one destination on its target: "[n g R /Fit ...]". `fit` is the fit name
// without its slash, `arguments` the texts of the numbers after it ("null" stays null). A
// destination that fits the whole page fits the page's place on the sheet (/FitR).
std::string PlacedDestinationText(const DestinationTarget& target, std::string_view fit,
                                  const std::vector<std::string_view>& arguments);

// `text` (an object's dictionary part, or any object text without stream data) with every
// explicit destination whose page is an input page rewritten for its target; a destination
// whose page shows nowhere becomes null (the entry keeps no destination). Other arrays,
// strings and references are left as they are.
std::string RewriteDestinations(std::string_view text, const DestinationPages& pages);

}  // namespace gridane
