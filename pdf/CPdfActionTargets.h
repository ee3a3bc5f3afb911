// Where a link action leads, read from the raw value texts of its entries: whether a URI
// action's address is a web or mail address, and whether a file reference names PDF files
// only. The active-content filter keeps the links that pass and drops the others.
#pragma once

#include <string>
#include <string_view>

// The bytes a string token stands for: a literal string with its escapes resolved, a hex
// string's digit pairs. A text string in UTF-16 (after its byte-order mark) keeps its characters
// below 128 and has '?' for the others; a UTF-8 byte-order mark is dropped.
std::string DecodePdfStringToken(std::string_view token);

// Whether the value text of a URI action's /URI is a direct string holding a web or mail
// address (an http, https or mailto one). A script (javascript:), a local file (file:), any
// other scheme, an address without a scheme (resolved against a base the file may set), or an
// address holding control bytes is not.
bool IsWebOrMailAddress(std::string_view uriValue);

// Whether the value text of a file reference (a string, or a dictionary of strings) names a
// PDF file in every file name it gives (/F, /UF, /DOS, /Mac, /Unix); a reference, an empty
// dictionary or any other value does not.
bool NamesPdfFile(std::string_view fileSpecValue);
