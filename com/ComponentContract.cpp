#include "com/ComponentContract.h"

namespace com {
namespace {

ParamType ParamTypeOf(PropertyKind kind) {
    return kind == PropertyKind::Text ? ParamType::Bstr : ParamType::Long;
}

MemberDescription JobMember(const MethodContract& job) {
    std::string help =
        job.helpString.empty() ? "method " + std::string(job.name) : std::string(job.helpString);
    MemberDescription member{job.dispId, std::string(job.name), MemberKind::Method, help, {}};
    for (std::string_view param : job.textParams) {
        member.params.push_back({std::string(param), ParamType::Bstr, false});
    }
    member.params.push_back({std::string(job.resultName), ParamType::Bstr, true});
    return member;
}

MemberDescription PutMember(const PropertyContract& property) {
    return {property.dispId,
            std::string(property.name),
            MemberKind::PropertyPut,
            std::string(property.helpString),
            {{"newVal", ParamTypeOf(property.kind), false}}};
}

}  // namespace

const PropertyContract* ComponentContract::FindProperty(std::string_view name) const {
    return FindNamed(properties, name);
}

TypeLibrary TypeLibraryOf(const ComponentContract& contract) {
    InterfaceDescription face{std::string(contract.interfaceName),
                              contract.iid,
                              "IDispatch",
                              std::string(contract.interfaceHelp),
                              true,
                              true,
                              {JobMember(contract.job)}};
    for (const PropertyContract& property : contract.properties) {
        face.members.push_back(PutMember(property));
    }
    TypeLibrary library;
    library.name = contract.libraryName;
    library.libId = contract.libId;
    library.helpString = contract.libraryHelp;
    library.interfaces.push_back(std::move(face));
    library.classes.push_back({std::string(contract.className), contract.clsid,
                               std::string(contract.classHelp),
                               std::string(contract.interfaceName)});
    return library;
}

}  // namespace com
