// The options of the `regsvr` program, from which its --help, its manual page and its shell
// completion are made.
#pragma once

#include <string_view>

#include "platform/OptionHelp.h"

namespace regsvr {

inline constexpr std::string_view kSummary =
    "Registers each server module in the component registry, or with -u removes it.\n"
    "The registry is $VELMORA_REGISTRY when set, else the user's\n"
    "$XDG_CONFIG_HOME/velmora/registry, or the installation's registry when only that one\n"
    "exists.\n";

inline constexpr platform::OptionHelp kOptions[] = {
    {"-u", "", "unregister: remove the modules' keys", ""},
    {"-s", "", "silent: print only failures", ""},
    {"MODULE", "", "a server module (a shared library)", "", platform::OptionValue::File, true},
    {"--help", "", "print this text", ""},
    {"--version", "", "print the version", ""},
};

}  // namespace regsvr
