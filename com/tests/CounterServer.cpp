// The counter test server module: one class, Counter, built from the runtime's server pieces
// the way the real servers are.
#include <memory>
#include <stdexcept>

#include "com/DispatchObject.h"
#include "com/ServerModule.h"
#include "com/tests/CounterInterface.h"

namespace counter_test {
namespace {

struct CounterState {
    int total = 0;
    std::string label;
};

com::MemberHandlers CounterHandlers(const std::shared_ptr<CounterState>& state) {
    return {
        {1, com::TextMethod([state](const std::vector<std::string>& args) {
             return args[0] + state->label + "=" + std::to_string(state->total);
         })},
        {2, com::IntegerPut([state](int32_t step) { state->total += step; })},
        {3, com::TextPut([state](const std::string& label) { state->label = label; })},
        {4, com::TextMethod([](const std::vector<std::string>&) -> std::string {
             throw std::runtime_error("boom");
         })},
    };
}

class Counter final : public com::DispatchObject<ICounter> {
  public:
    Counter()
        : DispatchObject(CounterTypeLibrary().Interface("ICounter"),
                         CounterHandlers(std::make_shared<CounterState>())) {}

    com::HRESULT describe(com::BSTR prefix, com::BSTR* pVal) override {
        return CallForText(1, {prefix}, pVal);
    }
    com::HRESULT put_step(int32_t newVal) override { return Put(2, newVal); }
    com::HRESULT put_label(com::BSTR newVal) override { return Put(3, newVal); }
    com::HRESULT explode(com::BSTR* pVal) override { return CallForText(4, {}, pVal); }
};

com::HRESULT CreateCounter(const com::IID& iid, void** object) {
    return com::CreateDispatchObject<Counter>(iid, object);
}

const com::ServerModule& CounterModule() {
    static const com::ServerModule module{CounterTypeLibrary(), kIdentity, &CreateCounter};
    return module;
}

}  // namespace
}  // namespace counter_test

VELMORA_COM_SERVER(counter_test::CounterModule)
