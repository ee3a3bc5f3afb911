#include "testing/Image.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace testing_support {

Image::Image(int width, int height, uint8_t fill)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height, fill) {}

namespace {

int ReadPnmNumber(std::istream& in) {
    int c = in.get();
    while (c == '#' || std::isspace(c)) {
        if (c == '#') {
            while (c != '\n' && c != EOF) c = in.get();
        }
        c = in.get();
    }
    int value = 0;
    while (std::isdigit(c)) {
        value = value * 10 + (c - '0');
        c = in.get();
    }
    return value;
}

}  // namespace

Image Image::ReadPnm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    if (!in || magic[0] != 'P' || (magic[1] != '5' && magic[1] != '6')) {
        throw std::runtime_error("not a binary PGM/PPM: " + path);
    }
    int width = ReadPnmNumber(in);
    int height = ReadPnmNumber(in);
    int maxValue = ReadPnmNumber(in);
    if (width <= 0 || height <= 0 || maxValue != 255) throw std::runtime_error("bad PNM " + path);
    int channels = magic[1] == '6' ? 3 : 1;
    std::vector<uint8_t> raw(static_cast<size_t>(width) * height * channels);
    in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    if (!in) throw std::runtime_error("short PNM " + path);
    Image image(width, height);
    for (size_t i = 0; i < image.m_pixels.size(); ++i) {
        if (channels == 1) {
            image.m_pixels[i] = raw[i];
        } else {
            image.m_pixels[i] = static_cast<uint8_t>(
                (raw[3 * i] * 30 + raw[3 * i + 1] * 59 + raw[3 * i + 2] * 11) / 100);
        }
    }
    return image;
}

void Image::WritePgm(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << m_width << " " << m_height << "\n255\n";
    out.write(reinterpret_cast<const char*>(m_pixels.data()),
              static_cast<std::streamsize>(m_pixels.size()));
}

Image Image::Crop(int x, int y, int width, int height) const {
    int x0 = std::clamp(x, 0, m_width), y0 = std::clamp(y, 0, m_height);
    int x1 = std::clamp(x + width, 0, m_width), y1 = std::clamp(y + height, 0, m_height);
    Image part(x1 - x0, y1 - y0);
    for (int row = y0; row < y1; ++row) {
        for (int col = x0; col < x1; ++col) part.At(col - x0, row - y0) = At(col, row);
    }
    return part;
}

Image Image::Rotate(int quarterTurns) const {
    int turns = ((quarterTurns % 4) + 4) % 4;
    if (turns == 0) return *this;
    bool swap = turns % 2 == 1;
    Image turned(swap ? m_height : m_width, swap ? m_width : m_height);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            int nx = x, ny = y;
            if (turns == 1) nx = m_height - 1 - y, ny = x;
            if (turns == 2) nx = m_width - 1 - x, ny = m_height - 1 - y;
            if (turns == 3) nx = y, ny = m_width - 1 - x;
            turned.At(nx, ny) = At(x, y);
        }
    }
    return turned;
}

Image Image::Scale(int width, int height) const {
    Image scaled(width, height);
    if (m_width == 0 || m_height == 0) return scaled;
    for (int y = 0; y < height; ++y) {
        int sy0 = static_cast<int>(static_cast<int64_t>(y) * m_height / height);
        int sy1 =
            std::max(sy0 + 1, static_cast<int>(static_cast<int64_t>(y + 1) * m_height / height));
        for (int x = 0; x < width; ++x) {
            int sx0 = static_cast<int>(static_cast<int64_t>(x) * m_width / width);
            int sx1 =
                std::max(sx0 + 1, static_cast<int>(static_cast<int64_t>(x + 1) * m_width / width));
            long sum = 0, count = 0;
            for (int sy = sy0; sy < sy1; ++sy) {
                for (int sx = sx0; sx < sx1; ++sx) sum += At(sx, sy), ++count;
            }
            scaled.At(x, y) = static_cast<uint8_t>(sum / count);
        }
    }
    return scaled;
}

double Image::MeanDifference(const Image& other) const {
    if (m_pixels.empty() || other.m_pixels.empty()) return 255.0;
    int width = std::min(m_width, other.m_width), height = std::min(m_height, other.m_height);
    Image a = Scale(width, height), b = other.Scale(width, height);
    double sum = 0;
    for (size_t i = 0; i < a.m_pixels.size(); ++i) sum += std::abs(a.m_pixels[i] - b.m_pixels[i]);
    return sum / static_cast<double>(a.m_pixels.size());
}

double Image::DarkFraction() const {
    if (m_pixels.empty()) return 0;
    size_t dark =
        std::count_if(m_pixels.begin(), m_pixels.end(), [](uint8_t p) { return p < 128; });
    return static_cast<double>(dark) / static_cast<double>(m_pixels.size());
}

}  // namespace testing_support
