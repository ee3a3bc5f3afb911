// libturnelle.so driven as the desktop program drives it: created by class identifier from
// the registry, settings put through the vtable and by name, real files rotated.
#include <gtest/gtest.h>

#include "com/ComPtr.h"
#include "com/LateBinding.h"
#include "com/ServerRegistration.h"
#include "com/tests/ServerTestSupport.h"
#include "gridane/interface/GridaneInterface.h"
#include "testing/Tools.h"
#include "turnelle/interface/TurnelleObject.h"

namespace {

using namespace com;
using com_test::BuiltModule;

class TurnelleServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(m_registry.Register(m_module), S_OK);
        testing_support::PdfFromPostScript(testing_support::NumberedPagesPostScript(5), m_input);
    }
    void TearDown() override { CoFreeUnusedLibraries(); }

    HRESULT Create(ComPtr<ITurnelleCom>* object) {
        return com_test::CreateLikeTheMainWindow(CLSID_TurnelleCom, object);
    }
    std::string Rotate(ITurnelleCom* turnelle, const std::string& output) {
        Bstr status;
        EXPECT_EQ(
            turnelle->getTurnelleFile(Bstr::FromUtf8(m_input).Get(), Bstr::FromUtf8(output).Get(),
                                      Bstr(u"").Get(), status.Out()),
            S_OK);
        EXPECT_FALSE(status.IsNull());
        return status.ToUtf8();
    }
    // Whether each page of `pdf` renders wider than high (a portrait page turned a quarter).
    std::vector<bool> Landscape(const std::string& pdf) {
        std::vector<bool> pages;
        for (int page = 1; page <= testing_support::PageCount(pdf); ++page) {
            testing_support::Image image = testing_support::RenderPage(pdf, page, 10);
            pages.push_back(image.Width() > image.Height());
        }
        return pages;
    }

    std::string m_module = BuiltModule(kTurnelleModuleName);
    com_test::ScratchRegistry m_registry;
    com_test::ComOnThisThread m_com;
    testing_support::ScratchDir m_scratch;
    std::string m_input = m_scratch.File("five.pdf");
};

TEST_F(TurnelleServerTest, RegistrationRecordsTheModuleTypeLibraryAndProgrammable) {
    Registry registry = m_registry.Load();
    const std::string classKey = "CLSID\\" + ToString(CLSID_TurnelleCom);
    EXPECT_EQ(registry.GetValue(classKey + "\\InprocServer32"), m_module);
    EXPECT_EQ(registry.GetValue(classKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(registry.GetValue("Turnelle.TurnelleCom\\CurVer"), "Turnelle.TurnelleCom.1");
    EXPECT_TRUE(registry.HasKey(classKey + "\\Programmable"));
    TypeLibrary library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_TurnelleLib, 1, 0, &library), S_OK);
    EXPECT_EQ(WriteTypeLibraryText(library), WriteTypeLibraryText(TurnelleTypeLibrary().Library()));
    ASSERT_EQ(m_registry.Unregister(m_module), S_OK);
    EXPECT_TRUE(m_registry.Load().AllKeys().empty());
}

TEST_F(TurnelleServerTest, RotatesRealFilesThroughTheVtableAndByName) {
    ComPtr<ITurnelleCom> turnelle;
    ASSERT_EQ(Create(&turnelle), S_OK);
    EXPECT_EQ(turnelle->put_rotateAngle(90), S_OK);
    std::string all = m_scratch.File("all.pdf");
    EXPECT_EQ(Rotate(turnelle.Get(), all), "");
    EXPECT_TRUE(testing_support::QpdfCheck(all));
    EXPECT_EQ(Landscape(all), std::vector<bool>(5, true));

    // Odd pages only, put late-bound by name.
    const InterfaceDescription& face = TurnelleTypeLibrary().Interface("ITurnelleCom");
    ASSERT_EQ(PutPropertyFromText(turnelle.Get(), face, "type", "3"), S_OK);
    ASSERT_EQ(PutPropertyFromText(turnelle.Get(), face, "rotateAngle", "270"), S_OK);
    std::string odd = m_scratch.File("odd.pdf");
    EXPECT_EQ(Rotate(turnelle.Get(), odd), "");
    EXPECT_EQ(Landscape(odd), (std::vector<bool>{true, false, true, false, true}));

    // A page list, as a string put through the vtable.
    EXPECT_EQ(turnelle->put_type(0), S_OK);
    EXPECT_EQ(turnelle->put_rotatePages(Bstr(u"2,4").Get()), S_OK);
    EXPECT_EQ(turnelle->put_force(0), S_OK);
    std::string listed = m_scratch.File("listed.pdf");
    EXPECT_EQ(Rotate(turnelle.Get(), listed), "");
    EXPECT_EQ(Landscape(listed), (std::vector<bool>{false, true, false, true, false}));
}

TEST_F(TurnelleServerTest, FailuresComeBackAsStatusTextsNotResultCodes) {
    ComPtr<ITurnelleCom> turnelle;
    ASSERT_EQ(Create(&turnelle), S_OK);
    std::string missing = m_scratch.File("missing.pdf");
    m_input = missing;
    EXPECT_EQ(Rotate(turnelle.Get(), m_scratch.File("out.pdf")),
              "Input file open error: " + missing + "\n");
}

TEST_F(TurnelleServerTest, WrongInterfaceAndWrongThreadFailAndTheServerUnloads) {
    com_test::ExpectApartmentAndLifetimeRules<ITurnelleCom, IGridaneCom>(
        CLSID_TurnelleCom, m_module, [](ITurnelleCom* object) { return object->put_type(3); });
}

}  // namespace
