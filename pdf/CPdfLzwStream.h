// CPdfLzwStream: LZWDecode over its source, codes of 9 to 12 bits, most significant bit
// first, with the clear (256) and end (257) codes.
//
// `earlyChange` 1 (the default of the format) widens the codes one code early, 0 at the
// table's size. A code that the table cannot hold yet ends the data there, without an
// exception, as corrupt compressed data ends a Flate stream. A predictor is a stream of its
// own put over this one.
#pragma once

#include <array>

#include "pdf/CPdfFilterStream.h"

class CPdfLzwStream : public CPdfFilterStream {
  public:
    // Takes over one reference of `source`.
    CPdfLzwStream(CPdfStream* source, bool earlyChange, size_t decodeLimit = kDefaultDecodeLimit);

  protected:
    bool Decode(std::vector<uint8_t>& block) override;

  private:
    static constexpr int kTableSize = 4096;

    struct Entry {
        int prefix = -1;  // the entry this one extends, -1 for a single byte
        uint8_t last = 0;
        uint8_t first = 0;
        int length = 1;
    };

    // The next code of the current width; -1 at the end of the source.
    int ReadCode();
    void ClearTable();
    // Appends the bytes of entry `code`.
    void AppendEntry(int code, std::vector<uint8_t>& block) const;

    int m_earlyChange;
    std::array<Entry, kTableSize> m_table;
    int m_nextCode = 258;
    int m_codeWidth = 9;
    int m_previous = -1;
    uint32_t m_bits = 0;
    int m_bitCount = 0;
    bool m_done = false;
};
