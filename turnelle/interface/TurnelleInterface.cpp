#include "turnelle/interface/TurnelleInterface.h"

namespace com {
namespace {

constexpr PropertyContract kTurnelleProperties[] = {TURNELLE_PROPERTIES(VELMORA_PROPERTY_CONTRACT)};
constexpr std::string_view kGetTurnelleFileParams[] = {"m_intputFile", "m_outputFile", "m_params"};

}  // namespace

const ComponentContract& TurnelleContract() {
    static const ComponentContract contract{
        "TurnelleLib",
        LIBID_TurnelleLib,
        "Turnelle 1.0 Type Library",
        "ITurnelleCom",
        IID_ITurnelleCom,
        "ITurnelleCom Interface",
        "TurnelleCom",
        CLSID_TurnelleCom,
        "TurnelleCom Class",
        kTurnelleModuleName,
        {"TurnelleCom", "Turnelle.TurnelleCom.1", "Turnelle.TurnelleCom", "Apartment", true},
        {"getTurnelleFile", kDispidGetTurnelleFile, "method getTurnelleFile",
         kGetTurnelleFileParams, "pVal"},
        kTurnelleProperties};
    return contract;
}

const EmbeddedTypeLibrary& TurnelleTypeLibrary() {
    static const EmbeddedTypeLibrary library(TypeLibraryOf(TurnelleContract()));
    return library;
}

}  // namespace com
