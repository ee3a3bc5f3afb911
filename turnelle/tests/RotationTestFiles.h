// Inputs and checks for the rotation tests: small hand-written PDF files (nested page trees,
// inherited rotation, other generations; made with testing/PdfBuilder.h) and the effective
// rotation of each page as poppler reports it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace turnelle_test {

// A file of the given object bodies, numbered from 1, with object 1 as the root.
std::string PdfOfObjects(const std::vector<std::string>& bodies);

// A page content stream object body drawing an asymmetric mark that differs by `seed`.
std::string MarkContent(int seed);

// The rotation of every page as displayed (0, 90, 180 or 270), by pdfinfo.
std::vector<int> EffectiveRotations(const std::string& pdf);

// The number of whole quarter turns clockwise from `from` to `to` degrees, 0..3.
int QuarterTurnsBetween(int from, int to);

// The mean difference between the render of `output` page `page` and the render of `input`
// page `page` turned clockwise by `quarterTurns`.
double TurnedRenderDifference(const std::string& input, const std::string& output, int page,
                              int quarterTurns);

// The tree of the nested test document: root Pages /Rotate 90 with an inner node of
// /Rotate 270 over pages 1 and 2 (page 2 with its own 180, its contents of generation 1) and
// an inner node without /Rotate over pages 3 (inherits 90) and 4 (its own 0).
std::string NestedTreePdf(const std::string& beforeHeader = "");
inline const std::vector<int> kNestedTreeRotations = {270, 180, 90, 0};

}  // namespace turnelle_test
