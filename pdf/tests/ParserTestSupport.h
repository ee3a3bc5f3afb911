// Parsing PDF text held in memory, for the tests of the object layer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "pdf/CPdfParser.h"

namespace pdf_test {

// A parser over `text` (by default without a table), with the stream kept alive beside it.
struct TextParser {
    explicit TextParser(const std::string& text, bool requireEndstream = false,
                        CPdfXRef* table = nullptr)
        : stream(new CPdfMemoryStream(text)), parser(table, stream.get(), requireEndstream) {}
    CPdfStreamPtr stream;
    CPdfParser parser;
};

inline CPdfObject ParseOne(const std::string& text) {
    TextParser p(text);
    return p.parser.GetObject();
}

// Every token up to end of input, as the parser's objects.
inline std::vector<CPdfObject> ParseAll(const std::string& text) {
    TextParser p(text);
    std::vector<CPdfObject> objects;
    while (!p.parser.Current().IsEOF()) objects.push_back(p.parser.GetObject());
    return objects;
}

}  // namespace pdf_test
