#include "scanvey/ScanveyOptions.h"

#include <algorithm>
#include <cstdlib>

namespace {

void RemoveQuotes(std::string& text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
}

using platform::OptionHelp;
using platform::OptionValue;

constexpr OptionHelp kOptions[] = {
    {"-i", "FILE", "the image file to convert (TIFF, JPEG, PNG, GIF or BMP)", "",
     OptionValue::File},
    {"-o", "FILE", "the PDF file to write", "", OptionValue::File},
    {"-d", "DPI", "resolution of images that state none (default 72)", "", OptionValue::Number},
    {"-w", "PT", "page width in points; with -h a fixed page size", "", OptionValue::Number},
    {"-h", "PT", "page height in points", "", OptionValue::Number},
    {"-f", "N", "fixed size: 0 stretches the image to the page, 1 fits it keeping proportions", "",
     OptionValue::Number},
    {"-a", "N", "fixed size: 1 turns the page to landscape for wide images", "",
     OptionValue::Number},
    {"--help", "", "print this text", ""},
    {"--version", "", "print the version", ""},
};

}  // namespace

std::span<const platform::OptionHelp> ScanveyOptionHelp() {
    return kOptions;
}

std::string ScanveyHelpText() {
    std::string text =
        "usage: scanvey -iINPUT -oOUTPUT [-dDPI] [-wPT -hPT [-fN] [-aN]]\n"
        "Writes a PDF file with one page for each image of INPUT (a multi-page TIFF gives\n"
        "several pages).\n\n";
    for (const OptionHelp& option : kOptions) {
        std::string left = "  " + std::string(option.option) + std::string(option.argument);
        left.append(left.size() < 14 ? 14 - left.size() : 1, ' ');
        text += left + std::string(option.text) + "\n";
    }
    return text + "\nExit status: 0 done, else the conversion's result code.\n";
}

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
