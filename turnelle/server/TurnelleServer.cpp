// libturnelle.so: the rotation module as an in-process component server. Each TurnelleCom
// object owns one engine settings object; its puts, getTurnelleFile and progress sink go to
// that engine.
#include <memory>

#include "com/ServerModule.h"
#include "turnelle/TurnelleCom.h"
#include "turnelle/interface/TurnelleObject.h"

namespace {

com::MemberHandlers TurnelleHandlers(const std::shared_ptr<turnelle::TurnelleCom>& engine) {
    com::MemberHandlers handlers = com::PropertyHandlers(
        com::TurnelleTypeLibrary().Interface("ITurnelleCom"),
        [engine](std::string_view name, int32_t value) { return engine->PutProperty(name, value); },
        [engine](std::string_view name, const std::string& value) {
            return engine->PutProperty(name, value);
        });
    handlers[com::kDispidGetTurnelleFile] =
        com::TextMethod([engine](const std::vector<std::string>& texts) {
            return engine->getTurnelleFile(texts[0], texts[1], texts[2]);
        });
    return handlers;
}

com::HRESULT CreateTurnelle(const com::IID& iid, void** object) {
    auto engine = std::make_shared<turnelle::TurnelleCom>();
    return com::CreateTurnelleObject(
        iid, object, TurnelleHandlers(engine),
        [engine](com::IProgressSink* sink) { engine->SetProgressSink(sink); });
}

const com::ServerModule& TurnelleModule() {
    static const com::ServerModule module{com::TurnelleTypeLibrary(),
                                          com::TurnelleContract().identity, &CreateTurnelle};
    return module;
}

}  // namespace

VELMORA_COM_SERVER(TurnelleModule)
