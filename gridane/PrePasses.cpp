#include "gridane/PrePasses.h"

#include "pdf/CPdfException.h"
#include "pdf/TempFileName.h"

namespace gridane {
namespace {

[[noreturn]] void NoAppending() {
    throw CPdfException(
        "Doubling the document needs the file-appending operation, which this build does not "
        "have\n");
}

}  // namespace

std::string PrePassTempName(const ImpositionJob& job) {
    return MakeTempFileName(job.outputName);
}

void RunTwoToOnePrePass(ImpositionJob&) {
    NoAppending();
}

std::string RunDoublingPrePass(ImpositionJob&) {
    NoAppending();
}

}  // namespace gridane
