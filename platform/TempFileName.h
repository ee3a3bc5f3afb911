// Names for the intermediate files of a job: one file name made from the job's output name and
// a unique temporary name with every separator removed.
#pragma once

#include <string>

// The name alone, in the current folder.
std::string MakeTempFileName(const std::string& outputFileName);

// The same name in the output's own folder (the current folder for an output without one), so
// that a job's pre-pass files go where its output goes.
std::string MakeTempFileNameBeside(const std::string& outputFileName);

// True when `name` has exactly the form MakeTempFileNameBeside gives for `outputFileName`:
// a status naming such a file is a pre-pass result, any other text is not.
bool IsTempFileNameBeside(const std::string& name, const std::string& outputFileName);
