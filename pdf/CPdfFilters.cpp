#include "pdf/CPdfFilters.h"

#include <string>
#include <vector>

#include "pdf/CPdfException.h"
#include "pdf/CPdfFlateStream.h"
#include "pdf/CPdfLzwStream.h"
#include "pdf/CPdfPredictorStream.h"
#include "pdf/CPdfTextFilters.h"

namespace {

int IntParam(const CPdfObject& parms, const char* key, int fallback) {
    if (!parms.IsDict()) return fallback;
    CPdfObject value = parms.GetDict().Lookup(key);
    return value.IsInt() ? value.GetInt() : fallback;
}

CPdfPredictorParams ReadPredictorParams(const CPdfObject& parms) {
    CPdfPredictorParams params;
    params.predictor = IntParam(parms, "Predictor", params.predictor);
    params.columns = IntParam(parms, "Columns", params.columns);
    params.colors = IntParam(parms, "Colors", params.colors);
    params.bitsPerComponent = IntParam(parms, "BitsPerComponent", params.bitsPerComponent);
    return params;
}

CPdfStreamPtr WithPredictor(CPdfStreamPtr decoded, const CPdfObject& parms, size_t limit) {
    CPdfPredictorParams params = ReadPredictorParams(parms);
    if (params.predictor == 1) return decoded;
    return CPdfStreamPtr(new CPdfPredictorStream(decoded.release(), params, limit));
}

CPdfStreamPtr MakeFilter(const std::string& name, CPdfStreamPtr source, const CPdfObject& parms,
                         size_t limit) {
    if (name == "FlateDecode" || name == "Fl") {
        return WithPredictor(CPdfStreamPtr(new CPdfFlateStream(source.release(), limit)), parms,
                             limit);
    }
    if (name == "LZWDecode" || name == "LZW") {
        bool early = IntParam(parms, "EarlyChange", 1) != 0;
        return WithPredictor(CPdfStreamPtr(new CPdfLzwStream(source.release(), early, limit)),
                             parms, limit);
    }
    if (name == "ASCIIHexDecode" || name == "AHx") {
        return CPdfStreamPtr(new CPdfAsciiHexStream(source.release(), limit));
    }
    if (name == "ASCII85Decode" || name == "A85") {
        return CPdfStreamPtr(new CPdfAscii85Stream(source.release(), limit));
    }
    if (name == "RunLengthDecode" || name == "RL") {
        return CPdfStreamPtr(new CPdfRunLengthStream(source.release(), limit));
    }
    throw CPdfException(pdfmsg::kFilterNotSupported);
}

// A filter's name: a name, or (as some writers put it) a string or a keyword.
bool TakeFilterName(const CPdfObject& value, std::string& name) {
    if (!value.IsName() && !value.IsString() && !value.IsKeyword()) return false;
    name = value.GetName();
    return true;
}

}  // namespace

CPdfStreamPtr AddFilters(CPdfStreamPtr window, const CPdfDict& dict, size_t decodeLimit) {
    CPdfObject filter = dict.Lookup("Filter");
    if (filter.IsNull()) filter = dict.Lookup("F");
    CPdfObject parms = dict.Lookup("DecodeParms");
    if (parms.IsNull()) parms = dict.Lookup("DP");

    if (filter.IsNull()) return window;
    if (filter.IsName()) return MakeFilter(filter.GetName(), std::move(window), parms, decodeLimit);
    if (!filter.IsArray() || filter.GetArray().GetLength() > kMaxFilterChain) return nullptr;

    CPdfArray& chain = filter.GetArray();
    std::vector<std::string> names(static_cast<size_t>(chain.GetLength()));
    for (int i = 0; i < chain.GetLength(); ++i) {
        if (!TakeFilterName(chain.Get(i), names[static_cast<size_t>(i)])) return nullptr;
    }
    CPdfStreamPtr stream = std::move(window);
    for (size_t i = 0; i < names.size(); ++i) {
        CPdfObject own;
        if (parms.IsArray()) {
            own = parms.GetArray().Get(static_cast<int>(i));
        } else if (names.size() == 1) {
            own = parms;
        }
        stream = MakeFilter(names[i], std::move(stream), own, decodeLimit);
    }
    return stream;
}
