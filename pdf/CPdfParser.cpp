#include "pdf/CPdfParser.h"

#include "pdf/CPdfException.h"
#include "pdf/CPdfFilters.h"
#include "pdf/CPdfRawText.h"
#include "pdf/CPdfXRef.h"
#include "platform/File.h"

namespace {

// The length of stream data that starts at file position `dataStart`, found by the
// `endstream` keyword after it (without the end of line before the keyword); null when the
// file has no such keyword.
CPdfObject LengthToEndstream(CPdfXRef& table, int64_t dataStart) {
    constexpr std::string_view kKeyword = "endstream";
    const platform::ReadFile& file = table.GetFile();
    int64_t last = FindInFile(file, dataStart, kKeyword);
    if (last == 0) return CPdfObject::MakeNull();
    int64_t end = last + 1 - static_cast<int64_t>(kKeyword.size());
    char before[2] = {0, 0};
    if (end - dataStart >= 2 && file.ReadAt(end - 2, before, 2) == 2) {
        if (before[1] == '\n') --end;
        if (before[1] == '\r' || (before[1] == '\n' && before[0] == '\r')) --end;
    } else if (end - dataStart == 1 && file.ReadAt(end - 1, before + 1, 1) == 1 &&
               (before[1] == '\n' || before[1] == '\r')) {
        --end;
    }
    int64_t length = end - dataStart;
    if (length < 0 || length > INT32_MAX) return CPdfObject::MakeNull();
    return CPdfObject::MakeInt(static_cast<int>(length));
}

}  // namespace

CPdfParser::CPdfParser(CPdfXRef* table, CPdfStream* stream, bool requireEndstream)
    : m_table(table), m_requireEndstream(requireEndstream) {
    AddStream(stream);
    CurrentToken() = ReadToken();
    NextToken() = ReadToken();
}

CPdfParser::CPdfParser(CPdfXRef* table, CPdfStream* stream)
    : CPdfParser(table, stream, table != nullptr && table->RequiresEndstream()) {}

CPdfParser::~CPdfParser() = default;

void CPdfParser::AddStream(CPdfStream* stream) {
    stream->AddRef();
    m_inputs.emplace_back(stream);
    if (m_inputs.size() == 1) SelectInput(0);
}

void CPdfParser::SelectInput(size_t index) {
    m_inputIndex = index;
    m_position = m_inputs[index]->ReadPosition();
    m_bufferEnd = m_inputs[index]->BufferEnd();
}

void CPdfParser::Shift() {
    m_currentSlot ^= 1;
    NextToken() = ReadToken();
}

CPdfObject CPdfParser::GetObjectAt(int depth) {
    if (Current().IsKeyword("[") || Current().IsKeyword("<<")) {
        if (depth >= kMaxNesting) {
            Shift();
            return CPdfObject::MakeError();
        }
        return Current().IsKeyword("[") ? ParseArray(depth) : ParseDict(depth);
    }
    if (Current().IsInt()) {
        int number = Current().GetInt();
        Shift();
        if (Current().IsInt() && Next().IsKeyword("R")) {
            int generation = Current().GetInt();
            Shift();
            Shift();
            return CPdfObject::MakeRef(number, generation);
        }
        return CPdfObject::MakeInt(number);
    }
    CPdfObject result = std::move(CurrentToken());
    Shift();
    return result;
}

CPdfObject CPdfParser::ParseArray(int depth) {
    Shift();
    CPdfObject array = CPdfObject::MakeArray(m_table);
    // Most arrays are short (boxes, matrices, small lists): room for four saves regrowing.
    array.GetArray().Reserve(4);
    // End of input ends the array: what was read so far is the result.
    while (!Current().IsKeyword("]") && !Current().IsEOF()) {
        array.GetArray().Add(GetObjectAt(depth + 1));
    }
    Shift();
    return array;
}

CPdfObject CPdfParser::ParseDict(int depth) {
    Shift();
    CPdfObject dict = CPdfObject::MakeDict(m_table);
    while (!Current().IsKeyword(">>") && !Current().IsEOF()) {
        if (!Current().IsName()) {
            Shift();  // not a key: dropped
            continue;
        }
        CPdfObject key = std::move(CurrentToken());
        Shift();
        if (Current().IsError()) continue;  // the key goes with the bad value
        dict.GetDict().Add(key.GetName(), GetObjectAt(depth + 1));
    }
    if (Current().IsKeyword(">>") && Next().IsKeyword("stream")) return MakeStream(std::move(dict));
    Shift();
    return dict;
}

CPdfObject CPdfParser::MakeStream(CPdfObject dict) {
    m_metStream = true;
    SkipToNextLine();
    CPdfStream& input = CurrentStream();
    int64_t position = input.GetPos();
    // Inside an object stream no stream object can be made: decide that before resolving
    // anything for it.
    if (!input.HasSubStreams()) return CPdfObject::MakeError();
    CPdfObject length = dict.GetDict().LookupDirect("Length");
    if (length.IsRef() && m_table != nullptr) {
        length = m_table->ResolveLength(length.GetRefNum(), length.GetRefGen());
        if (!length.IsInt()) length = LengthToEndstream(*m_table, position);
    }
    if (!length.IsInt() || length.GetInt() < 0) return CPdfObject::MakeError();

    CPdfStreamPtr window(input.MakeSubStream(position, length.GetInt(), dict));
    if (!window) return CPdfObject::MakeError();
    size_t limit = m_table != nullptr ? m_table->DecodeLimit() : kDefaultDecodeLimit;
    CPdfStreamPtr stream = AddFilters(std::move(window), dict.GetDict(), limit);
    if (!stream) return CPdfObject::MakeError();

    input.SetPos(position + length.GetInt(), 0);
    Shift();
    Shift();
    if (Current().IsKeyword("endstream")) {
        Shift();
    } else if (m_requireEndstream) {
        throw CPdfException(pdfmsg::kMissingEndstream, -1, position + length.GetInt());
    }
    return CPdfObject::MakeStream(stream.release());
}
