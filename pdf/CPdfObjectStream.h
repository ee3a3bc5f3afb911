// The two views of an object stream that CPdfXRef caches, one entry each:
// - CPdfObjectStream: its objects parsed, for Resolve;
// - CPdfRawObjectStream: its decoded bytes whole, for the raw text of its objects.
// Both are built from the table that owns the cache and must not outlive it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/CPdfObject.h"

class CPdfXRef;

class CPdfObjectStream {
  public:
    CPdfObjectStream(CPdfXRef& table, int streamNumber);
    ~CPdfObjectStream() = default;

    int GetStreamNumber() const { return m_streamNumber; }
    // A copy of object `index` when the stream holds object `objectNumber` there, else null.
    CPdfObject GetObject(int index, int objectNumber) const;

  private:
    void Parse(CPdfXRef& table, const CPdfObject& stream, int count, int64_t first);

    int m_streamNumber;
    std::vector<int> m_numbers;
    std::vector<CPdfObject> m_objects;
};

class CPdfRawObjectStream {
  public:
    // Larger decoded object streams are treated as holding nothing: their raw text cannot
    // be served without an unreasonable amount of memory.
    static constexpr int64_t kMaxDecodedSize = int64_t{1} << 30;

    CPdfRawObjectStream(CPdfXRef& table, int streamNumber);
    ~CPdfRawObjectStream() = default;

    int GetStreamNumber() const { return m_streamNumber; }
    // The bytes of object `index` when it is `objectNumber`, valid while this lives.
    std::optional<std::string_view> GetText(int index, int objectNumber) const;

  private:
    int m_streamNumber;
    int64_t m_first = 0;
    std::vector<int> m_numbers;
    std::vector<int64_t> m_offsets;
    std::string m_content;
};
