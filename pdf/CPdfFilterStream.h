// CPdfFilterStream: the base of every decoding stream (Flate, LZW, ASCIIHex, ASCII85,
// RunLength, and the predictors that follow Flate and LZW).
//
// A filter stream owns its source (the stream it decodes: a window of the file or another
// filter of a chain) and decodes it block by block into a buffer that GetChar reads. It
// delivers at most its decode limit: a stream that would decode to more (a "bomb" of a few
// bytes that inflates without end) raises "Stream too large to decode" when it is read past
// that limit, so that no reader holds more than the limit in memory for one stream.
// Reset, SetPos and Close do nothing; the window operations forward to the source.
#pragma once

#include <cstddef>
#include <vector>

#include "pdf/CPdfStream.h"

// What one stream may decode to unless the document sets another limit.
inline constexpr size_t kDefaultDecodeLimit = size_t{256} << 20;

class CPdfFilterStream : public CPdfStream {
  public:
    // Takes over one reference of `source`.
    CPdfFilterStream(CPdfStream* source, size_t decodeLimit);

    void Reset() override {}
    const CPdfObject& GetDict() const override { return m_source->GetDict(); }
    int64_t GetPos() const override { return m_source->GetPos(); }
    void SetPos(int64_t, int) override {}
    int64_t GetStart() const override { return m_source->GetStart(); }
    void MoveStart(int64_t delta) override { m_source->MoveStart(delta); }
    int64_t GetLength() const override { return m_source->GetLength(); }
    CPdfStream* MakeSubStream(int64_t, int64_t, const CPdfObject&) override { return nullptr; }
    bool HasSubStreams() const override { return false; }

  protected:
    int Underflow(bool consume) final;
    // Puts the next decoded bytes into `block` (empty on entry); false at the end of the data.
    // A true result with an empty block is allowed: it is asked again.
    virtual bool Decode(std::vector<uint8_t>& block) = 0;
    CPdfStream& Source() { return *m_source; }

    // How many decoded bytes a block should aim at.
    static constexpr size_t kBlockSize = 16384;

  private:
    CPdfStreamPtr m_source;
    std::vector<uint8_t> m_block;
    size_t m_delivered = 0;
    size_t m_limit;
    bool m_ended = false;
};
