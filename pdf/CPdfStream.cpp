#include "pdf/CPdfStream.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "pdf/CPdfException.h"
#include "platform/File.h"

namespace {
// Reads at least this large bypass the buffer.
constexpr size_t kDirectReadSize = 16384;
}  // namespace

int CPdfStream::GetRawChar() {
    throw CPdfException(pdfmsg::kRawCharOnPlainStream);
}

size_t CPdfStream::ReadBytes(uint8_t* out, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (m_next >= m_end && Underflow(false) < 0) break;
        size_t n = std::min(count - done, static_cast<size_t>(m_end - m_next));
        std::memcpy(out + done, m_next, n);
        m_next += n;
        done += n;
    }
    return done;
}

CPdfFileStream::CPdfFileStream(std::shared_ptr<const platform::ReadFile> file, int64_t start,
                               int64_t length, CPdfObject dict)
    : m_file(std::move(file)),
      m_start(start),
      m_length(length),
      m_bufferPos(start),
      m_dict(std::move(dict)) {
    m_next = m_end = m_buffer.data();
}

void CPdfFileStream::SetPos(int64_t position, int direction) {
    int64_t target = direction == 2 ? m_file->Size() + position : position;
    m_bufferPos = std::clamp<int64_t>(target, 0, m_file->Size());
    m_next = m_end = m_buffer.data();
}

void CPdfFileStream::MoveStart(int64_t delta) {
    m_start += delta;
    m_bufferPos = m_start;
    m_next = m_end = m_buffer.data();
}

CPdfStream* CPdfFileStream::MakeSubStream(int64_t start, int64_t length, const CPdfObject& dict) {
    return new CPdfFileStream(m_file, start, length, dict);
}

int64_t CPdfFileStream::RemainingAt(int64_t position) const {
    if (m_length <= 0) return INT64_MAX;
    return std::max<int64_t>(0, m_start + m_length - position);
}

int CPdfFileStream::Underflow(bool consume) {
    m_bufferPos += m_end - m_buffer.data();
    m_next = m_end = m_buffer.data();
    int64_t want = std::min<int64_t>(kFileBufferSize, RemainingAt(m_bufferPos));
    if (want <= 0) return -1;
    int64_t got = m_file->ReadAt(m_bufferPos, m_buffer.data(), static_cast<size_t>(want));
    if (got <= 0) return -1;
    m_end = m_buffer.data() + got;
    return consume ? *m_next++ : *m_next;
}

size_t CPdfFileStream::ReadBytes(uint8_t* out, size_t count) {
    size_t done = std::min(count, static_cast<size_t>(m_end - m_next));
    std::memcpy(out, m_next, done);
    m_next += done;
    if (count - done < kDirectReadSize)
        return done + CPdfStream::ReadBytes(out + done, count - done);
    // Large remainder: read it straight from the file, then continue after it.
    int64_t position = GetPos();
    int64_t want = std::min<int64_t>(static_cast<int64_t>(count - done), RemainingAt(position));
    int64_t got = want > 0 ? m_file->ReadAt(position, out + done, static_cast<size_t>(want)) : 0;
    if (got < 0) got = 0;
    m_bufferPos = position + got;
    m_next = m_end = m_buffer.data();
    return done + static_cast<size_t>(got);
}

CPdfWindowStream::CPdfWindowStream(CPdfStream& underlying, std::optional<int64_t> length,
                                   CPdfObject dict)
    : m_underlying(underlying),
      m_dict(std::move(dict)),
      m_bounded(length.has_value()),
      m_remaining(std::max<int64_t>(length.value_or(0), 0)) {}

int64_t CPdfWindowStream::GetPos() const {
    return m_underlying.GetPos() - (m_end - m_next);
}

int CPdfWindowStream::Underflow(bool consume) {
    if (m_bounded && m_remaining <= 0) return -1;
    if (m_underlying.LookChar() < 0) return -1;
    // Borrow what the underlying stream has buffered, up to what this window allows. The
    // bytes count as read from the underlying stream at once; windows over one stream are
    // read one after another, each to its end, so nothing else reads them in between.
    const uint8_t*& next = NextOf(m_underlying);
    int64_t available = EndOf(m_underlying) - next;
    int64_t take = m_bounded ? std::min(available, m_remaining) : available;
    m_next = next;
    m_end = next + take;
    next += take;
    if (m_bounded) m_remaining -= take;
    return consume ? *m_next++ : *m_next;
}

void CPdfWindowStream::SkipToEnd() {
    m_next = m_end;
    while (GetChar() >= 0) m_next = m_end;
}

CPdfMemoryStream::CPdfMemoryStream(std::string bytes, CPdfObject dict, int64_t declaredLength)
    : m_bytes(std::move(bytes)),
      m_dict(std::move(dict)),
      m_declaredLength(declaredLength < 0 ? static_cast<int64_t>(m_bytes.size()) : declaredLength) {
    m_next = Data();
    m_end = Data() + m_bytes.size();
}

void CPdfMemoryStream::SetPos(int64_t position, int direction) {
    int64_t size = static_cast<int64_t>(m_bytes.size());
    int64_t target = std::clamp<int64_t>(direction == 2 ? size + position : position, 0, size);
    m_next = Data() + target;
}

CPdfStream* CPdfMemoryStream::MakeSubStream(int64_t start, int64_t length, const CPdfObject& dict) {
    int64_t size = static_cast<int64_t>(m_bytes.size());
    start = std::clamp<int64_t>(start, 0, size);
    int64_t end = length > 0 ? std::min(size, start + length) : size;
    return new CPdfMemoryStream(
        m_bytes.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)), dict,
        length > 0 ? end - start : 0);
}

std::string ReadStreamBytes(CPdfStream& stream, size_t limit) {
    stream.Reset();
    std::string bytes;
    uint8_t chunk[16384];
    while (bytes.size() < limit) {
        size_t n = stream.ReadBytes(chunk, std::min(sizeof chunk, limit - bytes.size()));
        if (n == 0) break;
        bytes.append(reinterpret_cast<const char*>(chunk), n);
    }
    return bytes;
}
