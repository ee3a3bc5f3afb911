// libgridane.so: the imposition engine as an in-process component server. Each GridaneCom
// object owns one engine settings object; its puts, getGridaneFile and progress sink go to
// that engine.
#include <memory>

#include "com/ServerModule.h"
#include "gridane/GridaneCom.h"
#include "gridane/interface/GridaneObject.h"

namespace {

com::MemberHandlers GridaneHandlers(const std::shared_ptr<gridane::GridaneCom>& engine) {
    com::MemberHandlers handlers = com::PropertyHandlers(
        com::GridaneTypeLibrary().Interface("IGridaneCom"),
        [engine](std::string_view name, int32_t value) { return engine->PutProperty(name, value); },
        [engine](std::string_view name, const std::string& value) {
            return engine->PutProperty(name, value);
        });
    handlers[com::kDispidGetGridaneFile] =
        com::TextMethod([engine](const std::vector<std::string>& names) {
            return engine->getGridaneFile(names[0], names[1]);
        });
    return handlers;
}

com::HRESULT CreateGridane(const com::IID& iid, void** object) {
    auto engine = std::make_shared<gridane::GridaneCom>();
    return com::CreateGridaneObject(
        iid, object, GridaneHandlers(engine),
        [engine](com::IProgressSink* sink) { engine->SetProgressSink(sink); });
}

const com::ServerModule& GridaneModule() {
    static const com::ServerModule module{com::GridaneTypeLibrary(),
                                          com::GridaneContract().identity, &CreateGridane};
    return module;
}

}  // namespace

VELMORA_COM_SERVER(GridaneModule)
