#include "pdf/CPdfPredictorStream.h"

#include <cstdlib>

namespace {
constexpr int64_t kMaxRowBytes = 16 << 20;
}  // namespace

bool CPdfPredictorStream::IsUsable(const CPdfPredictorParams& p) {
    bool bitsOk = p.bitsPerComponent == 1 || p.bitsPerComponent == 2 || p.bitsPerComponent == 4 ||
                  p.bitsPerComponent == 8 || p.bitsPerComponent == 16;
    if (p.predictor < 1 || p.colors < 1 || p.colors > 32 || p.columns < 1 || !bitsOk) return false;
    int64_t rowBits = static_cast<int64_t>(p.columns) * p.colors * p.bitsPerComponent;
    return rowBits / 8 <= kMaxRowBytes;
}

CPdfPredictorStream::CPdfPredictorStream(CPdfStream* source, const CPdfPredictorParams& params,
                                         size_t decodeLimit)
    : CPdfFilterStream(source, decodeLimit), m_params(params) {
    if (!IsUsable(params)) {
        m_broken = true;
        return;
    }
    m_pixelBytes = static_cast<size_t>((params.colors * params.bitsPerComponent + 7) / 8);
    int64_t dataBytes =
        (static_cast<int64_t>(params.columns) * params.colors * params.bitsPerComponent + 7) / 8;
    m_rowBytes = m_pixelBytes + static_cast<size_t>(dataBytes);
    m_line.assign(m_rowBytes, 0);
    m_previous.assign(m_rowBytes, 0);
}

bool CPdfPredictorStream::Decode(std::vector<uint8_t>& block) {
    if (m_broken) return false;
    // Whole rows until the block is full enough; short rows are gathered, long ones go alone.
    while (block.size() < kBlockSize && DecodeRow()) {
        block.insert(block.end(), m_line.begin() + static_cast<ptrdiff_t>(m_pixelBytes),
                     m_line.end());
    }
    return !block.empty();
}

bool CPdfPredictorStream::DecodeRow() {
    int tag = m_params.predictor;
    if (m_params.predictor >= 10) {
        int c = Source().GetChar();
        if (c < 0) return false;
        tag = c + 10;
    }
    m_previous.swap(m_line);
    for (size_t i = m_pixelBytes; i < m_rowBytes; ++i) {
        int c = Source().GetChar();
        if (c < 0) return false;
        m_line[i] = static_cast<uint8_t>(c);
    }
    if (m_params.predictor >= 10) UndoPngFilter(tag);
    if (m_params.predictor == 2) UndoTiffDifferencing();
    return true;
}

void CPdfPredictorStream::UndoPngFilter(int tag) {
    const size_t bpp = m_pixelBytes;
    for (size_t i = bpp; i < m_rowBytes; ++i) {
        int left = m_line[i - bpp];
        int up = m_previous[i];
        int upperLeft = m_previous[i - bpp];
        int value = 0;
        switch (tag) {
            case 11:
                value = left;
                break;
            case 12:
                value = up;
                break;
            case 13:
                value = (left + up) / 2;
                break;
            case 14: {
                int p = left + up - upperLeft;
                int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upperLeft);
                value = (pa <= pb && pa <= pc) ? left : (pb <= pc ? up : upperLeft);
                break;
            }
            default:
                value = 0;
                break;
        }
        m_line[i] = static_cast<uint8_t>(m_line[i] + value);
    }
}

// Horizontal differencing: each sample is stored as its difference from the same component
// of the pixel to its left.
void CPdfPredictorStream::UndoTiffDifferencing() {
    const int bits = m_params.bitsPerComponent;
    const size_t colors = static_cast<size_t>(m_params.colors);
    uint8_t* row = m_line.data() + m_pixelBytes;
    const size_t samples = static_cast<size_t>(m_params.columns) * colors;
    if (bits == 8) {
        for (size_t i = colors; i < samples; ++i)
            row[i] = static_cast<uint8_t>(row[i] + row[i - colors]);
    } else if (bits == 16) {
        for (size_t i = colors; i < samples; ++i) {
            unsigned value = (row[2 * i] << 8 | row[2 * i + 1]) +
                             (row[2 * (i - colors)] << 8 | row[2 * (i - colors) + 1]);
            row[2 * i] = static_cast<uint8_t>(value >> 8);
            row[2 * i + 1] = static_cast<uint8_t>(value);
        }
    } else {
        // 1, 2 or 4 bits: samples packed from the high bits of each byte.
        const unsigned mask = (1u << bits) - 1;
        auto sampleAt = [&](size_t k) {
            size_t bit = k * bits;
            return (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
        };
        for (size_t k = colors; k < samples; ++k) {
            unsigned value = (sampleAt(k) + sampleAt(k - colors)) & mask;
            size_t bit = k * bits;
            unsigned shift = 8 - bits - bit % 8;
            row[bit / 8] =
                static_cast<uint8_t>((row[bit / 8] & ~(mask << shift)) | (value << shift));
        }
    }
}
