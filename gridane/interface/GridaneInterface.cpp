#include "gridane/interface/GridaneInterface.h"

namespace com {
namespace {

constexpr PropertyContract kGridaneProperties[] = {GRIDANE_PROPERTIES(VELMORA_PROPERTY_CONTRACT)};
#define GRIDANE_INTERFACE_PUT(name, dispid, kind, ...) \
    VELMORA_INTERFACE_PUT(IGridaneCom, name, kind)
constexpr InterfacePut<IGridaneCom> kInterfacePuts[] = {GRIDANE_PROPERTIES(GRIDANE_INTERFACE_PUT)};
#undef GRIDANE_INTERFACE_PUT
constexpr std::string_view kJobParams[] = {GRIDANE_JOB_METHOD(VELMORA_JOB_PARAM_NAMES)};

}  // namespace

const ComponentContract& GridaneContract() {
    static const ComponentContract contract{
        "GridaneLib",
        LIBID_GridaneLib,
        "Gridane 1.0 Type Library",
        "IGridaneCom",
        IID_IGridaneCom,
        "IGridaneCom Interface",
        "GridaneCom",
        CLSID_GridaneCom,
        "GridaneCom Class",
        kGridaneModuleName,
        {"GridaneCom", "Gridane.GridaneCom.1", "Gridane.GridaneCom", "Apartment", false},
        GRIDANE_JOB_METHOD(VELMORA_JOB_CONTRACT),
        kGridaneProperties};
    return contract;
}

std::span<const InterfacePut<IGridaneCom>> GridaneInterfacePuts() {
    return kInterfacePuts;
}

const EmbeddedTypeLibrary& GridaneTypeLibrary() {
    static const EmbeddedTypeLibrary library(TypeLibraryOf(GridaneContract()));
    return library;
}

}  // namespace com
