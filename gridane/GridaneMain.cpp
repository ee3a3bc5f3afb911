// The `gridane` command; everything it does is in GridaneCommand.cpp.
#include <iostream>

#include "gridane/GridaneCommand.h"

int main(int argc, char** argv) {
    return gridane::RunGridaneCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                      std::cerr);
}
