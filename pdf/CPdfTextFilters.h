// The byte-oriented decoding filters: ASCIIHexDecode, ASCII85Decode and RunLengthDecode.
//
// Each decodes its source up to its end-of-data marker (">", "~>", the length byte 128) or the
// source's end. A byte that the encoding cannot hold ends the data there, as corrupt
// compressed data ends a Flate stream: what was decoded before it is delivered, no exception.
#pragma once

#include "pdf/CPdfFilterStream.h"

class CPdfAsciiHexStream : public CPdfFilterStream {
  public:
    using CPdfFilterStream::CPdfFilterStream;

  protected:
    bool Decode(std::vector<uint8_t>& block) override;

  private:
    bool m_done = false;
};

class CPdfAscii85Stream : public CPdfFilterStream {
  public:
    using CPdfFilterStream::CPdfFilterStream;

  protected:
    bool Decode(std::vector<uint8_t>& block) override;

  private:
    // Appends the bytes of a group of `count` digits (2 to 5; a short group is padded).
    bool AppendGroup(const int digits[5], int count, std::vector<uint8_t>& block);

    bool m_done = false;
};

class CPdfRunLengthStream : public CPdfFilterStream {
  public:
    using CPdfFilterStream::CPdfFilterStream;

  protected:
    bool Decode(std::vector<uint8_t>& block) override;

  private:
    bool m_done = false;
};
