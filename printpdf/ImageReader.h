// Reading image files into embeddable images, whatever their format.
//
// The format is recognised from the file's first bytes, not its name. Each function opens the
// file for the call only; nothing is kept between calls. Files that cannot be read, formats
// not known and pictures too large to hold give 0 or no image, never an exception.
#pragma once

#include <optional>
#include <string>

#include "printpdf/EmbeddedImage.h"

namespace printpdf {

enum class ImageFormat { Unknown, Tiff, Jpeg, Png, Gif, Bmp };

ImageFormat DetectImageFormat(const std::string& path);

// Number of images in the file: pages of a TIFF, frames of a GIF, else 1; 0 when unreadable.
int CountImages(const std::string& path);

// Image `index` (1-based) of the file.
std::optional<EmbeddedImage> ReadImage(const std::string& path, int index);

// The per-format readers behind the two functions above.
int CountTiffImages(const std::string& path);
std::optional<EmbeddedImage> ReadTiffImage(const std::string& path, int index);
int CountGifImages(const std::string& path);
std::optional<EmbeddedImage> ReadGifImage(const std::string& path, int index);
std::optional<EmbeddedImage> ReadJpegImage(const std::string& bytes);
std::optional<EmbeddedImage> ReadPngImage(const std::string& bytes);
std::optional<EmbeddedImage> ReadBmpImage(const std::string& bytes);

}  // namespace printpdf
