// CPdfFlateStream: FlateDecode over its source (a window of the file or another filter).
//
// It reads the whole compressed input into memory when it is made. Corrupt compressed data
// ends the stream early, without an exception. Predictors are a stream of their own
// (CPdfPredictorStream) put over this one.
#pragma once

#include <zlib.h>

#include <vector>

#include "pdf/CPdfFilterStream.h"

class CPdfFlateStream : public CPdfFilterStream {
  public:
    // Takes over one reference of `source`.
    explicit CPdfFlateStream(CPdfStream* source, size_t decodeLimit = kDefaultDecodeLimit);
    ~CPdfFlateStream() override;

    // The inflated bytes have no prediction beneath them.
    int GetRawChar() override { return GetChar(); }

  protected:
    bool Decode(std::vector<uint8_t>& block) override;

  private:
    std::vector<uint8_t> m_compressed;
    z_stream m_zlib{};
    bool m_zlibReady = false;
    bool m_zlibDone = false;
};
