// Names for the intermediate files of a job: one file name, in the current folder, made
// from the job's output name and a unique temporary name with every separator removed.
#pragma once

#include <string>

std::string MakeTempFileName(const std::string& outputFileName);
