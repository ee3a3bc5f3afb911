#include "turnelle/interface/TurnelleInterface.h"

namespace com {
namespace {

constexpr PropertyContract kTurnelleProperties[] = {TURNELLE_PROPERTIES(VELMORA_PROPERTY_CONTRACT)};
constexpr std::string_view kJobParams[] = {TURNELLE_JOB_METHOD(VELMORA_JOB_PARAM_NAMES)};

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
        TURNELLE_JOB_METHOD(VELMORA_JOB_CONTRACT),
        kTurnelleProperties};
    return contract;
}

const EmbeddedTypeLibrary& TurnelleTypeLibrary() {
    static const EmbeddedTypeLibrary library(TypeLibraryOf(TurnelleContract()));
    return library;
}

}  // namespace com
