// The conversion settings of the scanvey program and their command-line form: the second
// character of an argument selects the setting, the rest from the third character on is its
// value ("-i<file>", "/w595"); later occurrences replace earlier ones, other arguments are
// ignored, and double quotes are removed from the two names unless the caller keeps them.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/OptionHelp.h"

struct ScanveyOptions {
    std::string inputName;
    std::string outputName;
    int defaultResolution = 72;  // dots per inch for images that state none
    int pageWidth = 0;           // points; with pageHeight, a fixed page size
    int pageHeight = 0;
    int fitMode = 0;          // fixed size: 0 stretch, 1 fit keeping proportions, else no image
    int autoOrientation = 0;  // fixed size: 1 turns the page to landscape for wide images
};

enum class QuotesInNames { Remove, Keep };

// Parses every argument, the program's own name included. Programs started with an argument
// list that is already split keep the quotes: there a quote is part of the name.
// The settings as --help, the manual page and shell completion list them: each value follows
// its option letter with no blank ("-iscan.tif").
std::span<const platform::OptionHelp> ScanveyOptionHelp();
// What --help prints.
std::string ScanveyHelpText();

ScanveyOptions ParseScanveyArguments(const std::vector<std::string>& arguments,
                                     QuotesInNames quotes = QuotesInNames::Remove);
