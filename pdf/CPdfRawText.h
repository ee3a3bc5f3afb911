// Raw object text: the bytes of an input object exactly as the file holds them, and the
// byte searches and reference reader that writers use to edit such text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pdf/CPdfRawEdit.h"

namespace platform {
class ReadFile;
}
class CPdfXRef;

// The raw text of object `objectNumber` (owned by the caller):
// - in use: from the object's header through the byte after the `j` of its `endobj`;
// - compressed: "N 0 obj\r", the object's bytes from its object stream, " endobj\r".
// Nothing for a free entry, an object its object stream does not hold, or an object
// without `endobj`. Raises "Corrupted PDF file" (strict mode: "... type 2") for a
// compressed object whose number lies outside the table.
std::optional<std::string> GetRawObjectText(CPdfXRef& xref, int objectNumber);

// Index of the last byte of the first `pattern` at or after `first`; 0 when none.
size_t FindInBuffer(std::string_view buffer, size_t first, std::string_view pattern);

// File position of the last byte of the first `pattern` at or after `start`; 0 when none.
int64_t FindInFile(const platform::ReadFile& file, int64_t start, std::string_view pattern);

struct CPdfRefAfterKey {
    int number = 0;                // 0 when the key or a number after it is missing
    bool followedByZeroR = false;  // the number is followed by " 0 R"
};

// The object number written after `key` in `raw`, e.g. 3 for "/Pages 3 0 R".
CPdfRefAfterKey ReadRefAfterKey(std::string_view raw, std::string_view key);
