// What an engine's status text means. The imposition engine answers a run with an empty text
// (done), with the name of the pre-pass file it wrote beside the output it was given (the
// doubling pass), or with a message (failure). Only the exact name form the engine makes counts
// as a pre-pass file: a message that happens to hold "temp" is a failure.
#pragma once

#include <string>

namespace desktop {

enum class EngineOutcome { Done, PrePassFile, Failure };

EngineOutcome ClassifyEngineStatus(const std::string& status, const std::string& output);

}  // namespace desktop
