// Limits the image readers hold to, whatever a file claims, so that a small file cannot make
// the library work or allocate without bound.
#pragma once

namespace printpdf {

// Images (GIF frames, TIFF pages) read from one file. A file holding more is refused; its
// count is given as one more than this, so a caller can say why.
inline constexpr int kMostImagesPerFile = 10000;

}  // namespace printpdf
