// The booklet printer's device URIs and PPD, without a print server.
#include <gtest/gtest.h>

#include "desktop/cups/PrinterDevice.h"

namespace desktop_test {
namespace {

using desktop::DeviceTarget;

TEST(PrinterDeviceTest, DeviceUrisNameAQueueOrAFolderAndASetup) {
    using Kind = DeviceTarget::Kind;
    struct Case {
        DeviceTarget target;
        std::string uri;
    };
    const Case cases[] = {
        {{Kind::Queue, "Office", ""}, "velmora://queue/Office"},
        {{Kind::Queue, "Büro-2", "/etc/velmora/cups/a b.plf"},
         "velmora://queue/B%C3%BCro-2?setup=/etc/velmora/cups/a%20b.plf"},
        {{Kind::Folder, "/srv/booklets/$(x)", ""}, "velmora://folder/srv/booklets/%24%28x%29"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(desktop::DeviceUri(c.target), c.uri);
        std::string error;
        EXPECT_EQ(desktop::ParseDeviceUri(c.uri, &error), c.target) << c.uri << ": " << error;
    }
    for (const char* wrong :
         {"ipp://queue/Office", "velmora://queue/", "velmora://queue/a%2Fb", "velmora://queue/a b",
          "velmora://queue/Office?setup=rel.plf", "velmora://queue/Office?other=1",
          "velmora://folder/x%00y", "velmora://queue/Off%4"}) {
        std::string error;
        EXPECT_FALSE(desktop::ParseDeviceUri(wrong, &error)) << wrong;
        EXPECT_FALSE(error.empty()) << wrong;
    }
}

TEST(PrinterDeviceTest, ThePpdOffersThePapersAndTheBackendFindsTheOneAskedFor) {
    std::vector<desktop::Paper> papers = {
        {"Letter", 612, 792}, {"A4", 595, 842}, {"bad keyword", 1, 1}, {"A5", 420, 595}};
    std::string ppd = desktop::BookletPpd("Booklet \"to\" Office", papers, "A4");
    EXPECT_NE(ppd.find("*DefaultPageSize: A4\n"), std::string::npos) << ppd;
    EXPECT_NE(ppd.find("*PageSize A5: \"<</PageSize[420 595]>>setpagedevice\"\n"),
              std::string::npos);
    EXPECT_NE(ppd.find("*NickName: \"Booklet  to  Office\"\n"), std::string::npos);
    EXPECT_NE(ppd.find("*cupsFilter: \"application/pdf 0 -\"\n"), std::string::npos);
    EXPECT_EQ(ppd.find("bad keyword"), std::string::npos);
    EXPECT_EQ(desktop::PpdPaper(ppd, "A5"), (desktop::Paper{"A5", 420, 595}));
    EXPECT_EQ(desktop::PpdPaper(ppd, ""), (desktop::Paper{"A4", 595, 842}));
    EXPECT_EQ(desktop::PpdPaper(ppd, "Tabloid"), (desktop::Paper{"A4", 595, 842}));
    EXPECT_EQ(desktop::PpdPaper("", "A4"), std::nullopt);
    EXPECT_EQ(desktop::BookletJob({"A5", 420, 595}).sheet, "420,595:landscape");
}

}  // namespace
}  // namespace desktop_test
