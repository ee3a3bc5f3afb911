#include "pdf/CPdfFlateStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
constexpr size_t kInflateBufferSize = 65536;
constexpr int64_t kMaxRowBytes = 16 << 20;
constexpr size_t kReadPieceSize = 1 << 20;
}  // namespace

bool CPdfFlateStream::IsUsablePredictor(const CPdfPredictorParams& p) {
    bool bitsOk = p.bitsPerComponent == 1 || p.bitsPerComponent == 2 || p.bitsPerComponent == 4 ||
                  p.bitsPerComponent == 8 || p.bitsPerComponent == 16;
    if (p.predictor < 1 || p.colors < 1 || p.colors > 32 || p.columns < 1 || !bitsOk) return false;
    int64_t rowBits = static_cast<int64_t>(p.columns) * p.colors * p.bitsPerComponent;
    return rowBits / 8 <= kMaxRowBytes;
}

CPdfFlateStream::CPdfFlateStream(CPdfStream* window, const CPdfPredictorParams& params)
    : m_window(window), m_raw(new uint8_t[kInflateBufferSize]), m_params(params) {
    // The compressed input, whole, read in pieces so that a damaged Length far beyond the
    // file costs no more memory than the file holds. A window of length 0 (unbounded)
    // stands for an empty input.
    const size_t declared = static_cast<size_t>(std::max<int64_t>(m_window->GetLength(), 0));
    while (m_compressed.size() < declared) {
        size_t old = m_compressed.size();
        size_t piece = std::min(declared - old, kReadPieceSize);
        m_compressed.resize(old + piece);
        size_t got = m_window->ReadBytes(m_compressed.data() + old, piece);
        m_compressed.resize(old + got);
        if (got < piece) break;
    }
    if (inflateInit(&m_zlib) == Z_OK) {
        m_zlibReady = true;
        m_zlib.next_in = m_compressed.data();
        m_zlib.avail_in = static_cast<uInt>(m_compressed.size());
    }
    m_rawNext = m_rawEnd = m_raw.get();

    if (params.predictor != 1) {
        if (!IsUsablePredictor(params)) {
            m_broken = true;
            return;
        }
        m_predict = true;
        m_pixelBytes = static_cast<size_t>((params.colors * params.bitsPerComponent + 7) / 8);
        int64_t dataBytes =
            (static_cast<int64_t>(params.columns) * params.colors * params.bitsPerComponent + 7) / 8;
        m_rowBytes = m_pixelBytes + static_cast<size_t>(dataBytes);
        m_line.assign(m_rowBytes, 0);
        m_previous.assign(m_rowBytes, 0);
    }
}

CPdfFlateStream::~CPdfFlateStream() {
    if (m_zlibReady) inflateEnd(&m_zlib);
}

bool CPdfFlateStream::InflateMore() {
    m_rawNext = m_rawEnd = m_raw.get();
    if (!m_zlibReady || m_zlibDone) return false;
    // Output the decompressor still holds is delivered even when no input is left.
    m_zlib.next_out = m_raw.get();
    m_zlib.avail_out = kInflateBufferSize;
    int result = inflate(&m_zlib, Z_NO_FLUSH);
    size_t produced = kInflateBufferSize - m_zlib.avail_out;
    if (result == Z_STREAM_END) m_zlibDone = true;
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) m_zlibDone = true;
    if (result == Z_BUF_ERROR && produced == 0) m_zlibDone = true;
    m_rawEnd = m_raw.get() + produced;
    return produced > 0;
}

int CPdfFlateStream::GetRawChar() {
    if (!m_predict) return GetChar();
    if (m_rawNext >= m_rawEnd && !InflateMore()) return -1;
    return *m_rawNext++;
}

int CPdfFlateStream::Underflow(bool consume) {
    if (m_broken) return -1;
    if (m_predict) {
        if (!DecodeRow()) return -1;
        m_next = m_line.data() + m_pixelBytes;
        m_end = m_line.data() + m_rowBytes;
    } else {
        if (!InflateMore()) return -1;
        m_next = m_rawNext;
        m_end = m_rawEnd;
        m_rawNext = m_rawEnd;
    }
    return consume ? *m_next++ : *m_next;
}

bool CPdfFlateStream::DecodeRow() {
    int tag = m_params.predictor;
    if (m_params.predictor >= 10) {
        int c = GetRawChar();
        if (c < 0) return false;
        tag = c + 10;
    }
    m_previous.swap(m_line);  // m_previous: the row above
    for (size_t i = m_pixelBytes; i < m_rowBytes; ++i) {
        int c = GetRawChar();
        if (c < 0) return false;
        m_line[i] = static_cast<uint8_t>(c);
    }
    if (m_params.predictor >= 10) UndoPngFilter(tag);
    if (m_params.predictor == 2) UndoTiffDifferencing();
    return true;
}

void CPdfFlateStream::UndoPngFilter(int tag) {
    const size_t bpp = m_pixelBytes;
    for (size_t i = bpp; i < m_rowBytes; ++i) {
        int left = m_line[i - bpp];
        int up = m_previous[i];
        int upperLeft = m_previous[i - bpp];
        int value = 0;
        switch (tag) {
            case 11: value = left; break;
            case 12: value = up; break;
            case 13: value = (left + up) / 2; break;
            case 14: {
                int p = left + up - upperLeft;
                int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upperLeft);
                value = (pa <= pb && pa <= pc) ? left : (pb <= pc ? up : upperLeft);
                break;
            }
            default: value = 0; break;
        }
        m_line[i] = static_cast<uint8_t>(m_line[i] + value);
    }
}

// Horizontal differencing: each sample is stored as its difference from the same component
// of the pixel to its left.
void CPdfFlateStream::UndoTiffDifferencing() {
    const int bits = m_params.bitsPerComponent;
    const size_t colors = static_cast<size_t>(m_params.colors);
    uint8_t* row = m_line.data() + m_pixelBytes;
    const size_t samples = static_cast<size_t>(m_params.columns) * colors;
    if (bits == 8) {
        for (size_t i = colors; i < samples; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - colors]);
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
            row[bit / 8] = static_cast<uint8_t>((row[bit / 8] & ~(mask << shift)) | (value << shift));
        }
    }
}
