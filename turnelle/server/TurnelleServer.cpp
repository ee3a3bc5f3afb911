// libturnelle.so: the rotation module as an in-process component server. Each TurnelleCom
// object owns one engine settings object; its puts and getTurnelleFile go to that engine.
#include <memory>

#include "com/RunWarnings.h"
#include "com/ServerModule.h"
#include "com/TurnelleObject.h"
#include "turnelle/TurnelleCom.h"

namespace {

com::MemberHandlers TurnelleHandlers(const std::shared_ptr<turnelle::TurnelleCom>& engine) {
    return {
        {com::kDispidGetTurnelleFile,
         com::TextMethod([engine](const std::vector<std::string>& texts) {
             return engine->getTurnelleFile(texts[0], texts[1], texts[2]);
         })},
        {6, com::IntegerPut([engine](int32_t value) { engine->PutType(value); })},
        {7, com::IntegerPut([engine](int32_t value) { engine->PutRotateAngle(value); })},
        {8, com::TextPut([engine](const std::string& value) { engine->PutRotatePages(value); })},
        {9, com::IntegerPut([engine](int32_t value) { engine->PutForce(value); })},
        {com::kDispidRunWarnings, com::TextMethod([engine](const std::vector<std::string>&) {
             return engine->Warnings().Text();
         })},
    };
}

com::HRESULT CreateTurnelle(const com::IID& iid, void** object) {
    return com::CreateTurnelleObject(iid, object,
                                     TurnelleHandlers(std::make_shared<turnelle::TurnelleCom>()));
}

const com::ServerModule& TurnelleModule() {
    static const com::ServerModule module{com::TurnelleTypeLibrary(), com::kTurnelleServerIdentity,
                                          &CreateTurnelle};
    return module;
}

}  // namespace

VELMORA_COM_SERVER(TurnelleModule)
