// The engines' contracts as their clients see them: identities, the type libraries made from
// the member lists, and the registry keys of both servers.
#include <gtest/gtest.h>

#include <set>

#include "com/Registry.h"
#include "com/ServerRegistration.h"
#include "gridane/interface/GridaneInterface.h"
#include "turnelle/interface/TurnelleInterface.h"

namespace {

using namespace com;

TEST(TypeLibrary, GridaneDescribesItsIdentityAndEveryMemberInOrder) {
    const TypeLibrary& library = GridaneTypeLibrary().Library();
    EXPECT_EQ(library.name, "GridaneLib");
    EXPECT_EQ(library.libId, LIBID_GridaneLib);
    EXPECT_EQ(library.helpString, "Gridane 1.0 Type Library");
    EXPECT_EQ(library.VersionText(), "1.0");
    const ClassDescription& gridane = GridaneTypeLibrary().Class("GridaneCom");
    EXPECT_EQ(gridane.clsid, CLSID_GridaneCom);
    EXPECT_EQ(gridane.helpString, "GridaneCom Class");
    const InterfaceDescription& face = GridaneTypeLibrary().Interface("IGridaneCom");
    EXPECT_EQ(face.iid, IID_IGridaneCom);
    EXPECT_EQ(face.helpString, "IGridaneCom Interface");
    EXPECT_TRUE(face.dual && face.oleAutomation);
    EXPECT_EQ(face.parent, "IDispatch");
    // The interface is the contract's list: the job method, then every property in order.
    const auto properties = GridaneContract().properties;
    ASSERT_EQ(properties.size(), 73u);
    ASSERT_EQ(face.members.size(), properties.size() + 1);
    EXPECT_EQ(properties.front().name, "duplicate");
    EXPECT_EQ(properties.back().name, "print_template");
    std::set<DISPID> ids;
    for (size_t i = 0; i < properties.size(); ++i) {
        const MemberDescription& member = face.members[i + 1];
        EXPECT_EQ(member.name, properties[i].name);
        EXPECT_EQ(member.dispId, properties[i].dispId);
        EXPECT_EQ(member.helpString, "property " + member.name);
        EXPECT_EQ(member.params.at(0).type,
                  properties[i].kind == PropertyKind::Text ? ParamType::Bstr : ParamType::Long);
        ids.insert(member.dispId);
    }
    EXPECT_EQ(ids.size(), properties.size());
    struct Expected {
        const char* name;
        DISPID dispId;
        ParamType type;
    };
    for (Expected e : {Expected{"duplicate", 6, ParamType::Long},
                       {"s", 12, ParamType::Long},
                       {"split", 30, ParamType::Long},
                       {"cropbox", 35, ParamType::Bstr},
                       {"seq", 38, ParamType::Bstr},
                       {"duplex", 39, ParamType::Long},
                       {"offset_split", 47, ParamType::Long},
                       {"up3x4", 61, ParamType::Long},
                       {"cropbox2", 66, ParamType::Bstr},
                       {"mediabox2", 67, ParamType::Bstr}}) {
        const MemberDescription* member = face.FindMember(e.name);
        ASSERT_NE(member, nullptr) << e.name;
        EXPECT_EQ(member->dispId, e.dispId) << e.name;
        EXPECT_EQ(member->kind, MemberKind::PropertyPut) << e.name;
        EXPECT_EQ(member->params.at(0).type, e.type) << e.name;
    }
    const MemberDescription& method = face.members.front();
    EXPECT_EQ(method.dispId, 5);
    EXPECT_EQ(method.ArgumentCount(), 2u);
    EXPECT_TRUE(method.HasResult());
    EXPECT_EQ(method.params[0].name, "m_intputFile");
}

TEST(TypeLibrary, TurnelleDescribesItsIdentityMembersAndHelpStrings) {
    const TypeLibrary& library = TurnelleTypeLibrary().Library();
    EXPECT_EQ(library.libId, LIBID_TurnelleLib);
    EXPECT_EQ(library.helpString, "Turnelle 1.0 Type Library");
    EXPECT_EQ(TurnelleTypeLibrary().Class("TurnelleCom").clsid, CLSID_TurnelleCom);
    EXPECT_EQ(TurnelleTypeLibrary().Class("TurnelleCom").helpString, "TurnelleCom Class");
    const InterfaceDescription& face = TurnelleTypeLibrary().Interface("ITurnelleCom");
    EXPECT_EQ(face.iid, IID_ITurnelleCom);
    EXPECT_EQ(face.helpString, "ITurnelleCom Interface");
    ASSERT_EQ(face.members.size(), TurnelleContract().properties.size() + 1);
    EXPECT_EQ(face.members[4].name, "force");
    const char* helps[] = {"method getTurnelleFile", "property m_ret", "property m_Rotate",
                           "property m_strRotatePagesList", "property force"};
    for (size_t i = 0; i < face.members.size(); ++i) {
        EXPECT_EQ(face.members[i].dispId, DISPID(5 + i));
        EXPECT_EQ(face.members[i].helpString, helps[i]);
    }
    EXPECT_EQ(face.members[0].ArgumentCount(), 3u);
    EXPECT_EQ(face.FindMember("ROTATEPAGES")->params[0].type, ParamType::Bstr);
}

TEST(TypeLibrary, TextRoundTrips) {
    for (const EmbeddedTypeLibrary* embedded : {&GridaneTypeLibrary(), &TurnelleTypeLibrary()}) {
        std::string written = WriteTypeLibraryText(embedded->Library());
        std::string error;
        std::optional<TypeLibrary> reread = ReadTypeLibraryText(written, &error);
        ASSERT_TRUE(reread) << error;
        EXPECT_EQ(WriteTypeLibraryText(*reread), written);
    }
}

TEST(ServerKeys, GridaneAndTurnelleWriteTheKeysOfTheirIdentityTables) {
    Registry registry;
    ASSERT_EQ(WriteServerKeys(registry, GridaneContract().identity, GridaneTypeLibrary().Library(),
                              "/opt/velmora/lib/libgridane.so"),
              S_OK);
    ASSERT_EQ(WriteServerKeys(registry, TurnelleContract().identity,
                              TurnelleTypeLibrary().Library(), "/opt/velmora/lib/libturnelle.so"),
              S_OK);
    const std::string gridane = "CLSID\\{99D24111-7D5E-43B1-8A0C-2146D223C1FF}";
    const std::string turnelle = "CLSID\\{11D24184-7D5E-43B1-8A0C-2146D223C1FF}";
    struct Expected {
        std::string key, name, value;
    };
    const Expected expected[] = {
        {"Gridane.GridaneCom.1\\CLSID", "", "{99D24111-7D5E-43B1-8A0C-2146D223C1FF}"},
        {"Gridane.GridaneCom\\CurVer", "", "Gridane.GridaneCom.1"},
        {gridane, "", "GridaneCom Class"},
        {gridane + "\\ProgID", "", "Gridane.GridaneCom.1"},
        {gridane + "\\VersionIndependentProgID", "", "Gridane.GridaneCom"},
        {gridane + "\\InprocServer32", "", "/opt/velmora/lib/libgridane.so"},
        {gridane + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {gridane + "\\TypeLib", "", "{88168888-A0CE-459F-A821-A03272C9F6CC}"},
        {"TypeLib\\{88168888-A0CE-459F-A821-A03272C9F6CC}\\1.0", "", "Gridane 1.0 Type Library"},
        {"Interface\\{FF3E0222-C598-45F4-BD3F-B0E53601E459}", "", "IGridaneCom"},
        {"Turnelle.TurnelleCom.1\\CLSID", "", "{11D24184-7D5E-43B1-8A0C-2146D223C1FF}"},
        {"Turnelle.TurnelleCom\\CurVer", "", "Turnelle.TurnelleCom.1"},
        {turnelle, "", "TurnelleCom Class"},
        {turnelle + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {turnelle + "\\TypeLib", "", "{71168875-A0CE-459F-A821-A03272C9F6BA}"},
        {"TypeLib\\{71168875-A0CE-459F-A821-A03272C9F6BA}\\1.0", "", "Turnelle 1.0 Type Library"},
        {"Interface\\{113E0243-C598-45F4-BD3F-B0E53601E459}", "", "ITurnelleCom"},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(registry.GetValue(e.key, e.name), e.value) << e.key << " " << e.name;
    }
    EXPECT_TRUE(registry.HasKey(turnelle + "\\Programmable"));
    EXPECT_FALSE(registry.HasKey(gridane + "\\Programmable"));

    EXPECT_EQ(
        RemoveServerKeys(registry, GridaneContract().identity, GridaneTypeLibrary().Library()),
        S_OK);
    EXPECT_FALSE(registry.HasKey(gridane));
    EXPECT_TRUE(registry.HasKey(turnelle));
    EXPECT_EQ(
        RemoveServerKeys(registry, TurnelleContract().identity, TurnelleTypeLibrary().Library()),
        S_OK);
    EXPECT_TRUE(registry.AllKeys().empty());
    EXPECT_EQ(
        RemoveServerKeys(registry, TurnelleContract().identity, TurnelleTypeLibrary().Library()),
        S_FALSE);
    EXPECT_EQ(WriteServerKeys(registry, GridaneContract().identity, GridaneTypeLibrary().Library(),
                              "/bad\npath"),
              E_INVALIDARG);
}

}  // namespace
