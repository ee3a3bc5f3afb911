#include "pdf/CPdfObjectStream.h"

#include "pdf/CPdfParser.h"
#include "pdf/CPdfStream.h"
#include "pdf/CPdfXRef.h"

namespace {

struct ObjectStreamHeader {
    int count = 0;
    int64_t first = 0;
};

// N and First of a resolved object stream; nothing when it is not one.
std::optional<ObjectStreamHeader> ReadHeaderKeys(const CPdfObject& stream) {
    if (!stream.IsStream()) return std::nullopt;
    CPdfObject n = stream.GetDict().Lookup("N");
    CPdfObject first = stream.GetDict().Lookup("First");
    if (!n.IsInt() || n.GetInt() <= 0 || !first.IsInt() || first.GetInt() < 0) return std::nullopt;
    return ObjectStreamHeader{n.GetInt(), first.GetInt()};
}

// Reads the (object number, offset) pairs from the first `first` decoded bytes. False when a
// pair is not two integers. The header window is read to its end.
bool ReadPairs(CPdfXRef& table, CPdfStream& data, const ObjectStreamHeader& header,
               std::vector<int>& numbers, std::vector<int64_t>& offsets) {
    CPdfStreamPtr window(new CPdfWindowStream(data, header.first));
    bool complete = true;
    {
        CPdfParser parser(&table, window.get());
        for (int i = 0; i < header.count; ++i) {
            CPdfObject number = parser.GetObject();
            CPdfObject offset = parser.GetObject();
            if (!number.IsInt() || !offset.IsInt()) {
                complete = false;
                break;
            }
            numbers.push_back(number.GetInt());
            offsets.push_back(offset.GetInt());
        }
    }
    static_cast<CPdfWindowStream&>(*window).SkipToEnd();
    return complete;
}

}  // namespace

CPdfObjectStream::CPdfObjectStream(CPdfXRef& table, int streamNumber)
    : m_streamNumber(streamNumber) {
    CPdfObject stream = table.Resolve(streamNumber, 0);
    std::optional<ObjectStreamHeader> header = ReadHeaderKeys(stream);
    if (header) Parse(table, stream, header->count, header->first);
}

void CPdfObjectStream::Parse(CPdfXRef& table, const CPdfObject& stream, int count, int64_t first) {
    CPdfStream& data = stream.GetStream();
    data.Reset();
    std::vector<int> numbers;
    std::vector<int64_t> offsets;
    // One bad pair: the stream supplies null for every object.
    if (!ReadPairs(table, data, {count, first}, numbers, offsets)) return;

    // Skip to the first object, then read each object from a window that ends where the
    // next one begins, so that the look-ahead never crosses into a neighbour.
    int64_t skip = offsets.empty() ? 0 : offsets[0];
    for (int64_t k = 0; k < skip && data.GetChar() >= 0; ++k) {
    }
    m_numbers = std::move(numbers);
    m_objects.reserve(m_numbers.size());
    for (size_t i = 0; i < m_numbers.size(); ++i) {
        std::optional<int64_t> length;
        if (i + 1 < offsets.size()) length = offsets[i + 1] - offsets[i];
        CPdfStreamPtr window(new CPdfWindowStream(data, length));
        {
            CPdfParser parser(&table, window.get());
            m_objects.push_back(parser.GetObject());
        }
        static_cast<CPdfWindowStream&>(*window).SkipToEnd();
    }
}

CPdfObject CPdfObjectStream::GetObject(int index, int objectNumber) const {
    if (index < 0 || static_cast<size_t>(index) >= m_objects.size()) return CPdfObject::MakeNull();
    if (m_numbers[static_cast<size_t>(index)] != objectNumber) return CPdfObject::MakeNull();
    return m_objects[static_cast<size_t>(index)];
}

CPdfRawObjectStream::CPdfRawObjectStream(CPdfXRef& table, int streamNumber)
    : m_streamNumber(streamNumber) {
    // First resolution: the dictionary and the header pairs.
    CPdfObject stream = table.Resolve(streamNumber, 0);
    std::optional<ObjectStreamHeader> header = ReadHeaderKeys(stream);
    if (!header) return;
    stream.GetStream().Reset();
    ReadPairs(table, stream.GetStream(), *header, m_numbers, m_offsets);
    m_first = header->first;

    // Second: count the decoded bytes, so that the content is allocated once, exactly.
    CPdfObject counting = table.Resolve(streamNumber, 0);
    if (!counting.IsStream()) return;
    int64_t size = 0;
    uint8_t scratch[65536];
    for (size_t n; (n = counting.GetStream().ReadBytes(scratch, sizeof scratch)) > 0;) {
        size += static_cast<int64_t>(n);
        if (size > kMaxDecodedSize) {
            m_numbers.clear();
            m_offsets.clear();
            return;
        }
    }
    counting.Free();

    // Third: the content itself.
    CPdfObject reading = table.Resolve(streamNumber, 0);
    if (!reading.IsStream()) return;
    m_content.resize(static_cast<size_t>(size));
    m_content.resize(reading.GetStream().ReadBytes(reinterpret_cast<uint8_t*>(m_content.data()),
                                                   m_content.size()));
}

std::optional<std::string_view> CPdfRawObjectStream::GetText(int index, int objectNumber) const {
    if (index < 0 || static_cast<size_t>(index) >= m_numbers.size()) return std::nullopt;
    size_t i = static_cast<size_t>(index);
    if (m_numbers[i] != objectNumber) return std::nullopt;
    int64_t start = m_first + m_offsets[i];
    int64_t end = i + 1 < m_offsets.size() ? m_first + m_offsets[i + 1]
                                           : static_cast<int64_t>(m_content.size());
    // Offsets of a damaged stream may point anywhere: serve only what lies inside it.
    end = std::min<int64_t>(end, static_cast<int64_t>(m_content.size()));
    if (start < 0 || start > end) return std::nullopt;
    return std::string_view(m_content).substr(static_cast<size_t>(start),
                                              static_cast<size_t>(end - start));
}
