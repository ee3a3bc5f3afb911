#include "pdf/CPdfFlateStream.h"

#include <algorithm>

namespace {
constexpr size_t kInflateBlockSize = 65536;
constexpr size_t kReadPieceSize = 1 << 20;
}  // namespace

CPdfFlateStream::CPdfFlateStream(CPdfStream* source, size_t decodeLimit)
    : CPdfFilterStream(source, decodeLimit) {
    // The compressed input, whole, read in pieces so that a damaged Length far beyond the
    // file costs no more memory than the file holds. A window of length 0 (unbounded)
    // stands for an empty input.
    const size_t declared = static_cast<size_t>(std::max<int64_t>(Source().GetLength(), 0));
    while (m_compressed.size() < declared) {
        size_t old = m_compressed.size();
        size_t piece = std::min(declared - old, kReadPieceSize);
        m_compressed.resize(old + piece);
        size_t got = Source().ReadBytes(m_compressed.data() + old, piece);
        m_compressed.resize(old + got);
        if (got < piece) break;
    }
    if (inflateInit(&m_zlib) == Z_OK) {
        m_zlibReady = true;
        m_zlib.next_in = m_compressed.data();
        m_zlib.avail_in = static_cast<uInt>(m_compressed.size());
    }
}

CPdfFlateStream::~CPdfFlateStream() {
    if (m_zlibReady) inflateEnd(&m_zlib);
}

bool CPdfFlateStream::Decode(std::vector<uint8_t>& block) {
    if (!m_zlibReady || m_zlibDone) return false;
    // Output the decompressor still holds is delivered even when no input is left.
    block.resize(kInflateBlockSize);
    m_zlib.next_out = block.data();
    m_zlib.avail_out = static_cast<uInt>(block.size());
    int result = inflate(&m_zlib, Z_NO_FLUSH);
    size_t produced = block.size() - m_zlib.avail_out;
    block.resize(produced);
    if (result != Z_OK && result != Z_BUF_ERROR) m_zlibDone = true;  // the end, or corrupt data
    if (result == Z_BUF_ERROR && produced == 0) m_zlibDone = true;
    return produced > 0;
}
