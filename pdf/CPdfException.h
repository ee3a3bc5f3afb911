// CPdfException: the one exception of the PDF layer and the engines built on it.
//
// It carries a fixed English message text, which callers compare (a few of them act on an
// exact text), and optionally where the failure happened, outside the text: the object
// number and the file offset, for logs and tests. Thrown by value, caught by reference.
#pragma once

#include <cstdint>
#include <string>

class CPdfException {
  public:
    explicit CPdfException(std::string message = {}) : m_message(std::move(message)) {}
    CPdfException(std::string message, int object, int64_t at)
        : objectNumber(object), offset(at), m_message(std::move(message)) {}
    virtual ~CPdfException() = default;
    CPdfException(const CPdfException&) = default;
    CPdfException& operator=(const CPdfException&) = default;

    // The message text, empty when none was set.
    virtual const std::string& GetMessage() const { return m_message; }

    int objectNumber = -1;  // the object being read, when known
    int64_t offset = -1;    // the file offset being read, when known

  private:
    std::string m_message;
};

// The fixed message texts raised by the PDF layer.
namespace pdfmsg {
inline constexpr const char* kCantOpenFile = "Can't open file";
inline constexpr const char* kDamaged = "PDF file was damaged";
inline constexpr const char* kEncrypted = "PDF file is encrypted";
inline constexpr const char* kBadXRef = "Couldn't parse an xref";
inline constexpr const char* kBadXRefStream = "Couldn't parse an xref stream";
inline constexpr const char* kBadXRefTable = "Couldn't parse an xref table";
inline constexpr const char* kTrailerWrongType = "Trailer dictionary is wrong type";
inline constexpr const char* kSizeWrongType = "Size of xref Stream is wrong type";
inline constexpr const char* kWWrongType = "W item of xref Stream is wrong type";
inline constexpr const char* kWWrongLength = "W item of xref Stream is wrong length";
inline constexpr const char* kIndexWrongType = "Index item of xref Stream is wrong type";
inline constexpr const char* kXRefStreamEof = "Unexpected EOF while reading xref stream section";
inline constexpr const char* kXRefStreamEntryType =
    "Wrong type of xref entry while reading xref stream section";
inline constexpr const char* kCorrupted = "Corrupted PDF file";
inline constexpr const char* kCorruptedType2 = "Corrupted PDF file type 2";
inline constexpr const char* kFilterNotSupported = "Stream filter not supported";
inline constexpr const char* kRawCharOnPlainStream =
    "Internal: called getRawChar() on non-predictor stream";
inline constexpr const char* kMissingEndstream = "Missing 'endstream'";
// Ours: a stream that decodes to more than the reader's decode limit.
inline constexpr const char* kDecodeLimit = "Stream too large to decode";
// Ours: the cross-reference table can describe offsets below 10^9 only.
inline constexpr const char* kOutputTooLarge =
    "Output file too large: object offsets of 1000000000 bytes or more cannot be written";
}  // namespace pdfmsg
