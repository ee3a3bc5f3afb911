#include "gridane/PrePasses.h"

#include "gridane/merge/AppendDocuments.h"
#include "platform/TempFileName.h"

namespace gridane {

std::string PrePassTempName(const ImpositionJob& job) {
    return MakeTempFileNameBeside(job.outputName);
}

// A failed append is reported as a warning by the append itself; the run goes on with whatever the
// temporary file holds and reports a missing one when it opens its input.
void RunTwoToOnePrePass(ImpositionJob& job) {
    job.tempName = PrePassTempName(job);
    AppendForPrePass(job.inputName, job.inputName, job.tempName, job.progress, job.files);
    job.inputName = job.tempName;
}

std::string RunDoublingPrePass(ImpositionJob& job) {
    std::string temp = PrePassTempName(job);
    AppendForPrePass(job.inputName, job.inputName, temp, job.progress, job.files);
    job.inputName = temp;
    return temp;
}

}  // namespace gridane
