#include "printpdf/Resolution.h"

#include <cmath>

namespace printpdf {

namespace {

// `step` is how much one unit of the stored value's last digit is worth in dpi. Writers
// round or truncate, so a whole dpi may lie up to one step away.
double Snap(double dotsPerInch, double step) {
    double whole = std::round(dotsPerInch);
    return std::abs(dotsPerInch - whole) < step ? whole : dotsPerInch;
}

}  // namespace

double DotsPerInchFromPerMetre(double dotsPerMetre) {
    return dotsPerMetre > 0 ? Snap(dotsPerMetre * 0.0254, 0.0254) : 0;
}

double DotsPerInchFromPerCentimetre(double dotsPerCentimetre) {
    // TIFF and JFIF keep centimetre values to two decimals (118.11) or whole (118).
    return dotsPerCentimetre > 0 ? Snap(dotsPerCentimetre * 2.54, 0.0254) : 0;
}

}  // namespace printpdf
