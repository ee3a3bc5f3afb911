#include "desktop/core/EngineStatus.h"

#include "platform/TempFileName.h"

namespace desktop {

EngineOutcome ClassifyEngineStatus(const std::string& status, const std::string& output) {
    if (status.empty()) return EngineOutcome::Done;
    if (IsTempFileNameBeside(status, output)) return EngineOutcome::PrePassFile;
    return EngineOutcome::Failure;
}

}  // namespace desktop
