#include <gtest/gtest.h>

#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Guid.h"
#include "com/Hresult.h"

namespace {

using namespace com;

TEST(Guid, ParsesEitherCaseAndPrintsUpperCase) {
    constexpr Guid kGridane = GuidLiteral("{99D24111-7D5E-43B1-8A0C-2146D223C1FF}");
    EXPECT_EQ(kGridane.data1, 0x99D24111u);
    EXPECT_EQ(kGridane.data2, 0x7D5E);
    EXPECT_EQ(kGridane.data3, 0x43B1);
    EXPECT_EQ(kGridane.data4[0], 0x8A);
    EXPECT_EQ(kGridane.data4[7], 0xFF);
    EXPECT_EQ(ToString(kGridane), "{99D24111-7D5E-43B1-8A0C-2146D223C1FF}");
    EXPECT_EQ(ParseGuid("{99d24111-7d5e-43b1-8a0c-2146d223c1ff}"), kGridane);
}

TEST(Guid, RejectsMalformedTexts) {
    for (const char* text : {
             "",
             "99D24111-7D5E-43B1-8A0C-2146D223C1FF",     // no braces
             "{99D24111-7D5E-43B1-8A0C-2146D223C1F}",    // one digit short
             "{99D24111-7D5E-43B1-8A0C-2146D223C1FFF}",  // one digit long
             "{99D24111-7D5E-43B1-8A0C2146D223C1FF-}",   // dash misplaced
             "{99D2411G-7D5E-43B1-8A0C-2146D223C1FF}",   // not hex
             "{99D24111-7D5E-43B1-8A0C-2146D223C1F }",
         }) {
        EXPECT_FALSE(ParseGuid(text).has_value()) << text;
    }
}

TEST(Hresult, MessagesForKnownServerDefinedAndUnknownCodes) {
    struct Case {
        uint32_t code;
        const char* message;
    };
    const Case cases[] = {
        {0x80004002, "No such interface supported"},
        {0x80040154, "Class not registered"},
        {0x8001010E,
         "The application called an interface that was marshalled for a different "
         "thread."},
        {0x80020003, "Member not found."},
        {0x80040201, "IDispatch error #1"},
        {0x80040300, "IDispatch error #256"},
        {0x8004FFFF, "IDispatch error #65023"},
        {0x80040200, "Unknown error 0x80040200"},  // the first server code itself has no number
        {0x80050000, "Unknown error 0x80050000"},
        {0x800401FF, "Unknown error 0x800401FF"},
        {0x00000007, "Unknown error 0x7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HresultMessage(MakeHresult(c.code)), c.message) << std::hex << c.code;
    }
}

TEST(Hresult, ComErrorCarriesCodeAndText) {
    try {
        ThrowIfFailed(E_NOINTERFACE);
        FAIL() << "no throw";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Code(), E_NOINTERFACE);
        EXPECT_STREQ(error.what(), "No such interface supported");
    }
    EXPECT_EQ(ThrowIfFailed(S_FALSE), S_FALSE);
}

TEST(Bstr, CarriesItsLengthAndEndsWithZero) {
    BSTR text = SysAllocString(u"Gridane");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 7u);
    EXPECT_EQ(text[7], u'\0');
    SysFreeString(text);

    BSTR withZero = SysAllocStringLen(u"a\0b", 3);
    EXPECT_EQ(SysStringLen(withZero), 3u);
    EXPECT_EQ(ArgumentText(withZero), u"a");  // arguments are read as plain strings
    SysFreeString(withZero);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x7FFFFFFF), nullptr);  // too long to count in bytes
}

TEST(Bstr, OwnerFreesConvertsAndHandsOutItsSlot) {
    Bstr text = Bstr::FromUtf8("caf\xC3\xA9");
    EXPECT_EQ(text.Length(), 4u);
    EXPECT_EQ(text.ToUtf8(), "caf\xC3\xA9");
    BSTR* slot = text.Out();  // frees the old string
    EXPECT_EQ(*slot, nullptr);
    *slot = SysAllocString(u"new");
    EXPECT_EQ(text.View(), u"new");
    Bstr moved = std::move(text);
    EXPECT_TRUE(text.IsNull());
    EXPECT_EQ(moved.ToUtf8(), "new");
    EXPECT_EQ(Bstr().ToUtf8(), "");
}

}  // namespace
