// CPdfParser: the tokenizer and the object parser in one.
//
// It reads from an ordered list of input streams (holding a reference on each), keeps two
// look-ahead tokens (current and next) and builds objects whose arrays and dictionaries
// resolve through the table given at construction (may be null). When a dictionary is
// followed by `stream`, the parser makes a stream object over the bytes that follow.
// Unreadable input never throws here: it becomes error objects, dropped dictionary entries
// or cut strings; exceptions come only from stream making and from resolving references.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/CPdfObject.h"
#include "pdf/CPdfStream.h"

class CPdfParser {
  public:
    // Containers nested deeper than this parse as error objects, so that recursion stays
    // well within the stack whatever the input.
    static constexpr int kMaxNesting = 256;

    // Reads the first two tokens from `stream` (the parser takes its own reference).
    // `requireEndstream`: a stream object must be followed by `endstream`.
    CPdfParser(CPdfXRef* table, CPdfStream* stream, bool requireEndstream);
    // As above, requiring `endstream` when the table's reading mode does.
    CPdfParser(CPdfXRef* table, CPdfStream* stream);
    ~CPdfParser();
    CPdfParser(const CPdfParser&) = delete;
    CPdfParser& operator=(const CPdfParser&) = delete;

    // Appends a further input stream, read when the ones before it end.
    void AddStream(CPdfStream* stream);

    // Parses one object at the current token and moves the look-ahead past it.
    CPdfObject GetObject() { return GetObjectAt(0); }

    const CPdfObject& Current() const { return m_tokens[m_currentSlot]; }
    const CPdfObject& Next() const { return m_tokens[m_currentSlot ^ 1]; }
    // current := next; next := the next token.
    void Shift();

    // Whether a dictionary followed by `stream` was met (a stream object made or refused).
    bool MetStream() const { return m_metStream; }

    // The input stream being read.
    CPdfStream& CurrentStream() const { return *m_inputs[m_inputIndex]; }

  private:
    CPdfObject& CurrentToken() { return m_tokens[m_currentSlot]; }
    CPdfObject& NextToken() { return m_tokens[m_currentSlot ^ 1]; }
    CPdfObject GetObjectAt(int depth);
    CPdfObject ParseArray(int depth);
    CPdfObject ParseDict(int depth);
    // Makes `dict` into a stream object over the bytes after `stream`; an error object when
    // its Length is unusable or its Filter entry cannot be read.
    CPdfObject MakeStream(CPdfObject dict);

    // Tokenizer.
    CPdfObject ReadToken();
    // The next byte of the inputs, going on to the next input at the end of one; -1 at the end
    // of the last.
    int GetChar() { return *m_position < *m_bufferEnd ? *(*m_position)++ : GetCharSlow(); }
    int GetCharSlow();
    // The byte GetChar would return from the current input, without consuming it.
    int LookChar() {
        return *m_position < *m_bufferEnd ? **m_position : m_inputs[m_inputIndex]->LookChar();
    }
    // The current input's bytes already buffered after the read position, and skipping some.
    std::string_view Buffered() const {
        return {reinterpret_cast<const char*>(*m_position),
                static_cast<size_t>(*m_bufferEnd - *m_position)};
    }
    void Consume(size_t count) { *m_position += count; }
    // Makes input `index` the one read.
    void SelectInput(size_t index);
    void SkipToNextLine();
    CPdfObject ReadNumber(int first);
    CPdfObject ReadLiteralString();
    CPdfObject ReadHexString();
    CPdfObject ReadName();
    CPdfObject ReadWord(int first);
    // Appends the run of bytes whose class is in the mask `wanted` that follows in the
    // current input stream.
    void AppendRun(std::string& out, unsigned char wanted);
    void SkipWhitespace();

    CPdfXRef* m_table;
    bool m_requireEndstream;
    std::vector<CPdfStreamPtr> m_inputs;
    size_t m_inputIndex = 0;
    // The current input's read position and buffer end, read in place.
    const uint8_t** m_position = nullptr;
    const uint8_t* const* m_bufferEnd = nullptr;
    // The two look-ahead tokens: shifting swaps their roles, so that no token is moved.
    CPdfObject m_tokens[2];
    int m_currentSlot = 0;
    bool m_metStream = false;
};
