// A gray picture (one byte a pixel, 0 black .. 255 white) for render-and-compare checks:
// read from pdftoppm's PGM/PPM output, cut, turned, scaled and compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class Image {
  public:
    Image() = default;
    Image(int width, int height, uint8_t fill = 255);

    // Reads a binary PGM (P5) or PPM (P6, turned to gray); throws on anything else.
    static Image ReadPnm(const std::string& path);
    void WritePgm(const std::string& path) const;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    uint8_t At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    uint8_t& At(int x, int y) { return m_pixels[static_cast<size_t>(y) * m_width + x]; }

    // The rectangle (x, y, width, height), clipped to the picture.
    Image Crop(int x, int y, int width, int height) const;
    // Turned clockwise by `quarterTurns` quarter turns.
    Image Rotate(int quarterTurns) const;
    // Resampled to width x height (box average), for comparing renders at different scales.
    Image Scale(int width, int height) const;

    // Mean absolute difference of the pixels, 0..255; the pictures are first scaled to the
    // smaller of the two sizes. 255 when either is empty.
    double MeanDifference(const Image& other) const;
    // Fraction of pixels darker than 128.
    double DarkFraction() const;

  private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_pixels;
};

}  // namespace testing_support
