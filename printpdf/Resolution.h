// Resolutions stated per metre or per centimetre, turned into dots per inch.
//
// Metric units cannot hold most whole inch values exactly (300 dpi is stored as 11811 dots per
// metre, 299.9994 dpi; 150 dpi often as 59.05 dots per centimetre, 149.987 dpi): a value
// within one unit of the stored precision of a whole dpi is taken as that whole dpi, so
// 300 dpi scans give 612-point pages, not 612.001.
#pragma once

namespace printpdf {

double DotsPerInchFromPerMetre(double dotsPerMetre);
double DotsPerInchFromPerCentimetre(double dotsPerCentimetre);

}  // namespace printpdf
