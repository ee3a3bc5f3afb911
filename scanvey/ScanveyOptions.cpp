#include "scanvey/ScanveyOptions.h"

#include <algorithm>
#include <cstdlib>

namespace {

void RemoveQuotes(std::string& text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
}

}  // namespace

ScanveyOptions ParseScanveyArguments(const std::vector<std::string>& arguments,
                                     QuotesInNames quotes) {
    ScanveyOptions options;
    for (const std::string& argument : arguments) {
        if (argument.size() < 2) continue;
        std::string value = argument.substr(2);
        switch (argument[1]) {
            case 'i':
                options.inputName = value;
                break;
            case 'o':
                options.outputName = value;
                break;
            case 'd':
                options.defaultResolution = static_cast<int>(std::atof(value.c_str()));
                break;
            case 'w':
                options.pageWidth = std::atoi(value.c_str());
                break;
            case 'h':
                options.pageHeight = std::atoi(value.c_str());
                break;
            case 'f':
                options.fitMode = std::atoi(value.c_str());
                break;
            case 'a':
                options.autoOrientation = std::atoi(value.c_str());
                break;
            default:
                break;
        }
    }
    if (quotes == QuotesInNames::Remove) {
        RemoveQuotes(options.inputName);
        RemoveQuotes(options.outputName);
    }
    return options;
}
