// The command line of scanvey: the second character selects, the rest is the value.
#include <gtest/gtest.h>

#include "scanvey/ScanveyOptions.h"

TEST(ScanveyOptions, SecondCharacterSelectsAndTheRestIsTheValue) {
    ScanveyOptions options = ParseScanveyArguments(
        {"scanvey", "-iscan.tif", "/oout.pdf", "-d300.7", "xw595", "-h842", "-f1", "-a1"});
    EXPECT_EQ(options.inputName, "scan.tif");
    EXPECT_EQ(options.outputName, "out.pdf");
    EXPECT_EQ(options.defaultResolution, 300);  // read as a fraction, then cut
    EXPECT_EQ(options.pageWidth, 595);
    EXPECT_EQ(options.pageHeight, 842);
    EXPECT_EQ(options.fitMode, 1);
    EXPECT_EQ(options.autoOrientation, 1);
}

TEST(ScanveyOptions, DefaultsLaterOccurrencesAndIgnoredArguments) {
    ScanveyOptions defaults = ParseScanveyArguments({"scanvey"});
    EXPECT_EQ(defaults.inputName, "");
    EXPECT_EQ(defaults.defaultResolution, 72);
    EXPECT_EQ(defaults.pageWidth, 0);
    EXPECT_EQ(defaults.fitMode, 0);

    ScanveyOptions options = ParseScanveyArguments(
        {"scanvey", "-ifirst.tif", "-isecond.tif", "", "-", "-x99", "-dabc", "-w12pt", "-h"});
    EXPECT_EQ(options.inputName, "second.tif");
    EXPECT_EQ(options.defaultResolution, 0);  // not a number
    EXPECT_EQ(options.pageWidth, 12);         // the leading number
    EXPECT_EQ(options.pageHeight, 0);
}

TEST(ScanveyOptions, QuotesAreRemovedFromTheNamesOnly) {
    ScanveyOptions options =
        ParseScanveyArguments({"scanvey", "-i\"C:/My Scans/a.tif\"", "-o\"out \"file\".pdf\""});
    EXPECT_EQ(options.inputName, "C:/My Scans/a.tif");
    EXPECT_EQ(options.outputName, "out file.pdf");

    ScanveyOptions kept =
        ParseScanveyArguments({"pictavo", "-ia \"b\".png", "-o\"c\".pdf"}, QuotesInNames::Keep);
    EXPECT_EQ(kept.inputName, "a \"b\".png");
    EXPECT_EQ(kept.outputName, "\"c\".pdf");
}

TEST(ScanveyOptions, TheProgramsOwnNameIsLookedAtToo) {
    // "bin/scanvey" has 'i' second: it names an input until a real -i replaces it.
    EXPECT_EQ(ParseScanveyArguments({"bin/scanvey"}).inputName, "n/scanvey");
    EXPECT_EQ(ParseScanveyArguments({"bin/scanvey", "-ia.tif"}).inputName, "a.tif");
}
