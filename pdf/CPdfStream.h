// Byte streams of the PDF layer.
//
// CPdfStream is the reference-counted base (1 at creation; Release destroys it at 0). Bytes
// are read one at a time by GetChar / LookChar, which are inline reads from a buffer the
// concrete stream exposes; only an empty buffer costs a virtual call (Underflow). Kinds:
// - CPdfFileStream: a window of the input file (start, length; length 0 is unbounded). All
//   file streams of one document share the open file, which outlives each of them.
// - CPdfWindowStream: a window of a given length over another stream, which it does not own
//   and which must outlive it.
// - the decoding streams (CPdfFilterStream.h and CPdfFilters.h): Flate, LZW, ASCIIHex,
//   ASCII85, RunLength and the predictors, each owning the stream it decodes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pdf/CPdfObject.h"

namespace platform {
class ReadFile;
}

class CPdfStream {
  public:
    CPdfStream() = default;
    virtual ~CPdfStream() = default;
    CPdfStream(const CPdfStream&) = delete;
    CPdfStream& operator=(const CPdfStream&) = delete;

    virtual void AddRef() { ++m_refCount; }
    virtual void Release() {
        if (--m_refCount == 0) delete this;
    }
    virtual void Reset() = 0;
    virtual void Close() {}

    // The next byte 0..255, or -1 at the end.
    int GetChar() { return m_next < m_end ? *m_next++ : Underflow(true); }
    // The byte GetChar would return, without consuming it.
    int LookChar() { return m_next < m_end ? *m_next : Underflow(false); }
    // The bytes already buffered after the read position, and skipping some of them: lets a
    // reader scan a run of bytes at once. The view is valid until the next read.
    std::string_view Buffered() const {
        return {reinterpret_cast<const char*>(m_next), static_cast<size_t>(m_end - m_next)};
    }
    void Consume(size_t count) { m_next += count; }
    // Where the stream keeps its read position and the end of its buffer, for a reader that
    // takes its bytes one by one (the parser) without a call per byte. Valid while the stream
    // lives; when the position reaches the end, GetChar or LookChar refills the buffer.
    const uint8_t** ReadPosition() { return &m_next; }
    const uint8_t* const* BufferEnd() const { return &m_end; }

    // The next byte before prediction; only flate streams have one.
    virtual int GetRawChar();

    // The stream's dictionary (kind none for windows without one).
    virtual const CPdfObject& GetDict() const = 0;
    virtual int64_t GetPos() const = 0;
    // direction 0: `position` from the start of the file; 2: from its end.
    virtual void SetPos(int64_t position, int direction) = 0;
    virtual int64_t GetStart() const = 0;
    virtual void MoveStart(int64_t delta) = 0;
    // Window length, 0 for unbounded.
    virtual int64_t GetLength() const = 0;
    // A new window (one reference, owned by the caller), or nullptr where the kind has none.
    virtual CPdfStream* MakeSubStream(int64_t start, int64_t length, const CPdfObject& dict) = 0;
    // Whether MakeSubStream can give a window at all.
    virtual bool HasSubStreams() const { return true; }

    // Reads up to `count` bytes into `out`; the number read (less only at the end).
    virtual size_t ReadBytes(uint8_t* out, size_t count);

  protected:
    // Called when the buffer is empty: refills it and returns its first byte (consumed when
    // `consume`), or -1 at the end.
    virtual int Underflow(bool consume) = 0;

    // Lets a window stream borrow its underlying stream's buffered bytes.
    static const uint8_t*& NextOf(CPdfStream& s) { return s.m_next; }
    static const uint8_t*& EndOf(CPdfStream& s) { return s.m_end; }

    const uint8_t* m_next = nullptr;
    const uint8_t* m_end = nullptr;

  private:
    int m_refCount = 1;
};

// Holds one reference of a stream and releases it.
struct CPdfStreamReleaser {
    void operator()(CPdfStream* s) const {
        if (s != nullptr) s->Release();
    }
};
using CPdfStreamPtr = std::unique_ptr<CPdfStream, CPdfStreamReleaser>;

class CPdfFileStream : public CPdfStream {
  public:
    // A window of `file` from absolute position `start`; `length` 0 is unbounded.
    CPdfFileStream(std::shared_ptr<const platform::ReadFile> file, int64_t start, int64_t length,
                   CPdfObject dict);

    void Reset() override { SetPos(m_start, 0); }
    const CPdfObject& GetDict() const override { return m_dict; }
    int64_t GetPos() const override { return m_bufferPos + (m_next - m_buffer.data()); }
    void SetPos(int64_t position, int direction) override;
    int64_t GetStart() const override { return m_start; }
    void MoveStart(int64_t delta) override;
    int64_t GetLength() const override { return m_length; }
    CPdfStream* MakeSubStream(int64_t start, int64_t length, const CPdfObject& dict) override;
    size_t ReadBytes(uint8_t* out, size_t count) override;

  protected:
    int Underflow(bool consume) override;

  private:
    // The buffer: big enough that most objects parse from one read, small enough that reading
    // one object does not drag in much of its neighbours. It lives in the stream, which is
    // made for each object read: a separate allocation would double their number.
    static constexpr size_t kFileBufferSize = 1024;

    // Bytes the window still allows from `position`; INT64_MAX when unbounded.
    int64_t RemainingAt(int64_t position) const;

    std::shared_ptr<const platform::ReadFile> m_file;
    int64_t m_start;
    int64_t m_length;
    int64_t m_bufferPos;  // file position of the buffer's first byte
    CPdfObject m_dict;
    std::array<uint8_t, kFileBufferSize> m_buffer;
};

class CPdfWindowStream : public CPdfStream {
  public:
    // A window of `length` bytes (below 0 counts as 0), or unbounded without a length.
    // `underlying` is borrowed.
    CPdfWindowStream(CPdfStream& underlying, std::optional<int64_t> length, CPdfObject dict = {});

    void Reset() override {}
    const CPdfObject& GetDict() const override { return m_dict; }
    int64_t GetPos() const override;
    void SetPos(int64_t, int) override {}
    int64_t GetStart() const override { return 0; }
    void MoveStart(int64_t) override {}
    int64_t GetLength() const override { return 0; }
    CPdfStream* MakeSubStream(int64_t, int64_t, const CPdfObject&) override { return nullptr; }
    bool HasSubStreams() const override { return false; }

    // Reads the window to its end.
    void SkipToEnd();

  protected:
    int Underflow(bool consume) override;

  private:
    CPdfStream& m_underlying;
    CPdfObject m_dict;
    bool m_bounded;
    int64_t m_remaining;
};

// A stream over bytes in memory, which it owns: for parsing text that is not in a file
// (raw object text, a content stream already decoded).
class CPdfMemoryStream : public CPdfStream {
  public:
    // `declaredLength` is what GetLength reports: 0 stands for an unbounded window.
    explicit CPdfMemoryStream(std::string bytes, CPdfObject dict = {}, int64_t declaredLength = -1);

    void Reset() override { SetPos(0, 0); }
    const CPdfObject& GetDict() const override { return m_dict; }
    int64_t GetPos() const override { return m_next - Data(); }
    void SetPos(int64_t position, int direction) override;
    int64_t GetStart() const override { return 0; }
    void MoveStart(int64_t) override {}
    int64_t GetLength() const override { return m_declaredLength; }
    // Windows of a memory stream are copies of the bytes they cover.
    CPdfStream* MakeSubStream(int64_t start, int64_t length, const CPdfObject& dict) override;

  protected:
    int Underflow(bool) override { return -1; }

  private:
    const uint8_t* Data() const { return reinterpret_cast<const uint8_t*>(m_bytes.data()); }

    std::string m_bytes;
    CPdfObject m_dict;
    int64_t m_declaredLength;
};

// All bytes of `stream` from its start (decoded for a flate stream), at most `limit`.
std::string ReadStreamBytes(CPdfStream& stream, size_t limit = SIZE_MAX);
