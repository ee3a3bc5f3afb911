// What the merge steps of a sheet side (resources, annotations, renamed content streams) need
// from the imposition run: the input document's objects and the output file. The run
// implements it over its own reader and output table; the merge steps never own either.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class CPdfXRef;

namespace gridane {

class MergeContext {
  public:
    virtual ~MergeContext() = default;

    virtual CPdfXRef& InputXRef() = 0;
    // The raw text of input object `objectNumber` ("n g obj ... endobj"); empty when none.
    virtual std::string InputRawText(int objectNumber) = 0;
    // The input generation of an object (0 for compressed and unknown ones).
    virtual int InputGeneration(int objectNumber) = 0;

    // Writes `text` at the current output position as object `objectNumber` with
    // `generation`, and records it in the output table (the last copy written wins).
    virtual void WriteObject(int objectNumber, int generation, std::string_view text) = 0;
    // Writes a new object under the next free output number; `makeText` is given that number
    // and returns the object's whole text. Returns the number.
    virtual int WriteNewObject(const std::function<std::string(int objectNumber)>& makeText) = 0;
};

}  // namespace gridane
