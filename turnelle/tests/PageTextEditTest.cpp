// The /Rotate edit of a selected page's raw text: what is replaced, what is inserted, and
// that everything else stays byte for byte.
#include "turnelle/PageTextEdit.h"

#include <gtest/gtest.h>

namespace turnelle {
namespace {

RotationPageEntry Page(int angle, int currentRotate = 0) {
    RotationPageEntry page;
    page.objectNumber = 4;
    page.selected = true;
    page.angle = angle;
    page.currentRotate = currentRotate;
    return page;
}

struct EditCase {
    const char* name;
    const char* raw;
    int angle;
    int currentRotate;
    bool force;
    const char* expected;
};

TEST(EditPageRotate, Table) {
    const EditCase cases[] = {
        {"replaces without force", "4 0 obj\r<</Type/Page/Rotate 90/Parent 2 0 R>>\rendobj\r", 90,
         90, false, "4 0 obj\r<</Type/Page/Rotate 90 /Parent 2 0 R>>\rendobj\r"},
        {"combines with force", "4 0 obj\r<</Type/Page/Rotate 90/Parent 2 0 R>>\rendobj\r", 90, 90,
         true, "4 0 obj\r<</Type/Page/Rotate 180 /Parent 2 0 R>>\rendobj\r"},
        {"minus signs count", "4 0 obj<</Rotate -90>>endobj\n", -180, -90, true,
         "4 0 obj<</Rotate -270 >>endobj\n"},
        {"value after a line break", "4 0 obj<</Rotate\r\n\t270\n/Type/Page>>endobj\n", 90, 270,
         true, "4 0 obj<</Rotate 0 \n/Type/Page>>endobj\n"},
        {"real value replaced whole", "4 0 obj<</Rotate 90.0/Type/Page>>endobj\n", 90, 90, true,
         "4 0 obj<</Rotate 180 /Type/Page>>endobj\n"},
        {"reference replaced whole", "4 0 obj<</Rotate 12 0 R/Type/Page>>endobj\n", 90, 270, true,
         "4 0 obj<</Rotate 0 /Type/Page>>endobj\n"},
        {"number after the value is no reference", "4 0 obj<</Rotate 90 /Kids [1 0 R]>>endobj", 0,
         90, false, "4 0 obj<</Rotate 0  /Kids [1 0 R]>>endobj"},
        {"inserted after the first <<", "4 0 obj\r<</Type/Page/Contents 5 0 R>>\rendobj\r", 270, 0,
         false, "4 0 obj\r<</Rotate 270\n/Type/Page/Contents 5 0 R>>\rendobj\r"},
        {"inserted with default angle", "4 0 obj<< /Type /Page >>endobj", 0, 0, false,
         "4 0 obj<</Rotate 0\n /Type /Page >>endobj"},
        // The page shows an inherited rotation; with force the angle is added to it.
        {"inherited combined with force", "4 0 obj<</Type/Page>>endobj", 90, 90, true,
         "4 0 obj<</Rotate 180\n/Type/Page>>endobj"},
        {"inherited replaced without force", "4 0 obj<</Type/Page>>endobj", 90, 270, false,
         "4 0 obj<</Rotate 90\n/Type/Page>>endobj"},
    };
    for (const EditCase& c : cases) {
        EXPECT_EQ(EditPageRotate(c.raw, Page(c.angle, c.currentRotate), c.force), c.expected)
            << c.name;
    }
}

TEST(EditPageRotate, BinaryBytesAroundTheKeyAreKept) {
    constexpr char kRaw[] = "4 0 obj<</Rotate 90/X(\0\xff)>>endobj\r";
    constexpr char kEdited[] = "4 0 obj<</Rotate 180 /X(\0\xff)>>endobj\r";
    const std::string edited =
        EditPageRotate(std::string_view(kRaw, sizeof kRaw - 1), Page(180, 90), false);
    EXPECT_EQ(edited, std::string(kEdited, sizeof kEdited - 1));
}

}  // namespace
}  // namespace turnelle
