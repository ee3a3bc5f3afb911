// Writing new data into the raw text of a stream object: the dictionary keeps its entries,
// with /Length set to the new data's length and, for filtered streams, the data compressed
// again with Flate. Pure functions over texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gridane {

// `data` compressed by zlib at level 9 (zlib wrapper) in one call into a buffer sized by
// compressBound; nullopt when zlib fails.
std::optional<std::string> DeflateBest(std::string_view data);

// `raw` with everything between the end of line after "stream" and "endstream" replaced by
// `newData` (and one line feed before "endstream"), and /Length set to its size. The raw text
// is returned unchanged when it has no stream.
std::string ReplaceStreamData(std::string_view raw, std::string_view newData);

// `raw` with its stream data replaced by `decoded`, stored compressed when the stream was
// filtered: the filter then becomes plain /FlateDecode without parameters (the old chain no
// longer describes the data), and when compression fails the data is stored plain.
std::string RewriteStreamText(std::string_view raw, std::string_view decoded);

}  // namespace gridane
