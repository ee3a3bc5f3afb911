#include "gridane/merge/StreamRewrite.h"

#include <zlib.h>

#include "pdf/CPdfRawEdit.h"

namespace gridane {

std::optional<std::string> DeflateBest(std::string_view data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                       reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                       Z_BEST_COMPRESSION);
    if (rc != Z_OK) return std::nullopt;
    out.resize(size);
    return out;
}

std::string ReplaceStreamData(std::string_view raw, std::string_view newData) {
    size_t keyword = FindStreamKeyword(raw);
    if (keyword == kNotFound) return std::string(raw);
    size_t dataStart = keyword + 6;
    // Keep the whole end of line after the keyword: CR LF as well as a lone LF.
    if (raw.compare(dataStart, 2, "\r\n") == 0) {
        dataStart += 2;
    } else {
        dataStart += 1;
    }
    // The last "endstream" of the text closes the data (the text ends at "endobj"), so bytes
    // inside the old data that happen to spell the keyword do not cut it short.
    size_t end = raw.rfind("endstream");
    if (end == std::string_view::npos || end < dataStart) end = raw.size();

    std::string dict(raw.substr(0, keyword));
    std::string length = std::to_string(newData.size());
    if (FindEntry(dict, "/Length")) {
        dict = ReplaceEntryValue(dict, "/Length", length);
    } else {
        dict = InsertAfterDictOpen(dict, "/Length " + length + " ");
    }
    std::string result = dict;
    result.append(raw.substr(keyword, dataStart - keyword));
    result.append(newData);
    result += '\n';
    result.append(raw.substr(end));
    return result;
}

std::string RewriteStreamText(std::string_view raw, std::string_view decoded) {
    std::string_view dict = DictionaryPart(raw);
    if (!FindEntry(dict, "/Filter")) return ReplaceStreamData(raw, decoded);

    std::string text(raw);
    std::optional<std::string> packed = DeflateBest(decoded);
    std::string head(dict);
    head = RemoveEntry(head, "/DecodeParms");
    head =
        packed ? ReplaceEntryValue(head, "/Filter", "/FlateDecode") : RemoveEntry(head, "/Filter");
    text = head + std::string(raw.substr(dict.size()));
    return ReplaceStreamData(text, packed ? *packed : decoded);
}

}  // namespace gridane
