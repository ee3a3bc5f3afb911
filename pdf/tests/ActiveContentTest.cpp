// The active-content filter on raw object texts: what it takes out, what it leaves byte for
// byte, and what it counts.
#include "pdf/CPdfActiveContent.h"

#include <gtest/gtest.h>

namespace {

struct FilterCase {
    const char* name;
    const char* raw;
    const char* expected;  // nullptr: unchanged
    std::map<std::string, int> dropped;
};

class ActiveContentCases : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ActiveContentCases, FiltersTheText) {
    const FilterCase& c = GetParam();
    CPdfActiveContentFilter filter;
    EXPECT_EQ(filter.FilterText(7, std::string(c.raw)), c.expected ? c.expected : c.raw);
    EXPECT_EQ(filter.Dropped(), c.dropped);
}

const FilterCase kCases[] = {
    {"PlainPage",
     "3 0 obj\n<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>\nendobj\n",
     nullptr,
     {}},
    {"LinksStay",
     "7 0 obj\n<< /Subtype /Link /A << /S /URI /URI (https://x.org/) >> /Next [<< /S /GoTo /D "
     "(a) >>] >>\nendobj\n",
     nullptr,
     {}},
    {"ScriptActionObjectBecomesNull",
     "7 0 obj\n<< /S /JavaScript /JS (app.alert\\(1\\)) >>\nendobj\n",
     "7 0 obj\nnull\nendobj\n",
     {{"JavaScript action", 1}}},
    {"EscapedTypeIsSeen",
     "7 1 obj\n<</S/J#61vaScript/JS(x)>>\nendobj\n",
     "7 1 obj\nnull\nendobj\n",
     {{"JavaScript action", 1}}},
    {"LinkLosesItsLaunchAction",
     "7 0 obj\n<< /Subtype /Link /Rect [0 0 1 1] /A << /S /Launch /F (/bin/sh) >> /F 4 "
     ">>\nendobj\n",
     "7 0 obj\n<< /Subtype /Link /Rect [0 0 1 1]  /F 4 >>\nendobj\n",
     {{"Launch action", 1}}},
    {"TriggersGoOneByOne",
     "7 0 obj\n<< /FT /Tx /AA << /K << /S /JavaScript /JS (k) >> /C 9 0 R /U << /S /SubmitForm "
     "/F (u) >> >> /V (x) >>\nendobj\n",
     "7 0 obj\n<< /FT /Tx /AA <<  /C 9 0 R  >> /V (x) >>\nendobj\n",
     {{"JavaScript action", 1}, {"SubmitForm action", 1}}},
    {"ScriptListLeavesNamesAndDests",
     "7 0 obj\n<< /Dests 4 0 R /JavaScript 5 0 R >>\nendobj\n",
     "7 0 obj\n<< /Dests 4 0 R  >>\nendobj\n",
     {{"document script list (/Names /JavaScript)", 1}}},
    {"ActionInAnArrayBecomesNull",
     "7 0 obj\n<< /S /GoTo /D (a) /Next [<< /S /ImportData /F (f) >> 8 0 R] >>\nendobj\n",
     "7 0 obj\n<< /S /GoTo /D (a) /Next [null 8 0 R] >>\nendobj\n",
     {{"ImportData action", 1}}},
    {"StringsAndStreamDataAreNotRead",
     "7 0 obj\n<< /T (/S /JavaScript) /Length 14 >>\nstream\n/S /JavaScript\nendstream\nendobj\n",
     nullptr,
     {}},
    {"CatalogOpenActionAndAA",
     "1 0 obj\n<< /Type /Catalog /Pages 2 0 R /OpenAction << /S /Rendition /JS (r) >> /AA << /WC "
     "<< /S /JavaScript /JS (w) >> >> >>\nendobj\n",
     "1 0 obj\n<< /Type /Catalog /Pages 2 0 R  /AA <<  >> >>\nendobj\n",
     {{"JavaScript action", 1}, {"Rendition action", 1}}},
    {"PageClaimingToBeAnActionStaysAPage",
     "7 0 obj\n<< /Type /Page /Parent 2 0 R /S /JavaScript /JS (x) /Contents 4 0 R >>\nendobj\n",
     "7 0 obj\n<< /Type /Page /Parent 2 0 R   /Contents 4 0 R >>\nendobj\n",
     {{"JavaScript action", 1}}},
    {"CatalogWithAnEscapedClaimStaysTheCatalog",
     "7 0 obj\n<< /Type /Catalog /#53 /Launch /F (x) >>\nendobj\n",
     "7 0 obj\n<< /Type /Catalog  /F (x) >>\nendobj\n",
     {{"Launch action", 1}}},
    // The stream keyword hidden in a string, a comment or a name of the dictionary hides nothing.
    {"StreamWordInAStringHidesNothing",
     "7 0 obj\n<< /Subtype /Link /NM (x stream\n) /A << /S /JavaScript /JS (a) >> >>\nendobj\n",
     "7 0 obj\n<< /Subtype /Link /NM (x stream\n)  >>\nendobj\n",
     {{"JavaScript action", 1}}},
    {"StreamWordInACommentOrANameHidesNothing",
     "1 0 obj\n<< /Type /Catalog % stream\n/Lang /stream\n/OpenAction << /S /JavaScript /JS (a) "
     ">> /Names << /JavaScript 5 0 R >> >>\nendobj\n",
     "1 0 obj\n<< /Type /Catalog % stream\n/Lang /stream\n /Names <<  >> >>\nendobj\n",
     {{"JavaScript action", 1}, {"document script list (/Names /JavaScript)", 1}}},
    {"ActionTypedByReference",
     "7 0 obj\n<< /Subtype /Link /A << /S 9 0 R /JS (a) >> >>\nendobj\n",
     "7 0 obj\n<< /Subtype /Link  >>\nendobj\n",
     {{"action typed by reference", 1}}},
    {"GoToEGoesWhole",
     "7 0 obj\n<< /S /GoToE /T << /R /C /N (x) >> >>\nendobj\n",
     "7 0 obj\nnull\nendobj\n",
     {{"GoToE action", 1}}},
    {"UriToScriptsAndLocalFilesGoWebAndMailStay",
     "7 0 obj\n<< /S /URI /URI (https://x.org/) /Next [<< /S /URI /URI "
     "(java\\163cript:alert\\(1\\)) "
     ">> << /S /URI /URI <66696C653A2F2F2F78> >> << /S /URI /URI ( \tFI\nLE:/x) >> << /S /URI /URI "
     "(mailto:a@b.c) >> << /S /URI /URI 4 0 R >> << /S /URI /URI (../x.exe) >>] >>\nendobj\n",
     "7 0 obj\n<< /S /URI /URI (https://x.org/) /Next [null null null << /S /URI /URI "
     "(mailto:a@b.c) >> null null] >>\nendobj\n",
     {{"URI action to a script or local address", 5}}},
    {"GoToRToPdfFilesOnly",
     "7 0 obj\n<< /S /GoTo /D (a) /Next [<< /S /GoToR /F (other.PDF) >> << /S /GoToR /F "
     "(calc.exe) >> << /S /GoToR /F << /Type /Filespec /F (a.pdf) /UF (a.exe) >> >> << /S /GoToR "
     "/F << /UF <FEFF0061002E007000640066> >> >> << /S /Thread /F 5 0 R /D 0 >>] >>\nendobj\n",
     "7 0 obj\n<< /S /GoTo /D (a) /Next [<< /S /GoToR /F (other.PDF) >> null null << /S /GoToR "
     "/F << /UF <FEFF0061002E007000640066> >> >> null] >>\nendobj\n",
     {{"GoToR action to a file that is no PDF", 2}, {"Thread action to a file that is no PDF", 1}}},
    {"XfaAnd3DArtworkAndLooseScriptsGo",
     "7 0 obj\n<< /Fields [] /XFA 9 0 R /Annots [<< /Subtype /3D /3DD 8 0 R /AP << /N 6 0 R >> >>] "
     "/A << /S /GoTo /D (a) /JS (x) >> >>\nendobj\n",
     "7 0 obj\n<< /Fields []  /Annots [<< /Subtype /3D  /AP << /N 6 0 R >> >>] /A << /S /GoTo /D "
     "(a)  >> >>\nendobj\n",
     {{"3D or rich media artwork (with its scripts)", 1},
      {"XFA form (with its scripts)", 1},
      {"script (/JS) outside an action", 1}}},
    {"ThreeDStreamGoesWhole",
     "8 0 obj\n<< /Type /3D /Subtype /U3D /OnInstantiate 9 0 R /Length 1 >>\nstream\nx\nendstream"
     "\nendobj\n",
     "8 0 obj\nnull\nendobj\n",
     {{"3D or rich media artwork (with its scripts)", 1}}},
    // Fuzzer findings: what stands in place of a dropped value never runs into the token after
    // it (a byte-reading filter once made "nullstream" here and let the dictionary after it
    // through), nor into the one before it.
    {"UnclosedArrayHoldingAnAction",
     "7 0 obj[<</S/JavaScript\nstream\n<</JavaScript/",
     "7 0 obj[null ",
     {{"JavaScript action", 1}, {"document script list (/Names /JavaScript)", 1}}},
    {"DroppedValuesNeverJoinTheirNeighbours",
     "7 0 obj\n<</K 1/A<</S/Launch>>2 0 R/N[3<</S/JavaScript>>4]>>\nendobj\n",
     "7 0 obj\n<</K 1 2 0 R/N[3 null 4]>>\nendobj\n",
     {{"JavaScript action", 1}, {"Launch action", 1}}},
    // A drop that leaves the dictionary unclosed before "stream" turns the stream data into
    // entries: the text is filtered again until nothing more goes.
    {"ADropThatUnclosesTheDictionaryIsFilteredAgain",
     "7 0 obj<</JS]stream\n/JS(",
     "7 0 obj<<stream\n",
     {{"script (/JS) outside an action", 2}}},
};

INSTANTIATE_TEST_SUITE_P(Texts, ActiveContentCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FilterCase>& p) {
                             return p.param.name;
                         });

TEST(ActiveContentFilter, ScriptStreamOfADroppedActionGoesButNotADictionaryNamedSo) {
    CPdfActiveContentFilter filter;
    filter.FilterText(5, "5 0 obj\n<< /S /JavaScript /JS 6 0 R /Next 1 0 R >>\nendobj\n");
    filter.FilterText(9, "9 0 obj\n<< /S /JavaScript /JS 1 0 R >>\nendobj\n");
    EXPECT_EQ(filter.FilterText(6, "6 0 obj\n<< /Length 3 >>\nstream\nx()\nendstream\nendobj\n"),
              "6 0 obj\nnull\nendobj\n");
    const std::string catalog = "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
    EXPECT_EQ(filter.FilterText(1, catalog), catalog);
}

TEST(ActiveContentFilter, DeepNestingDropsTheObjectAndNothingRunsPastTheText) {
    CPdfActiveContentFilter filter;
    std::string deep = "4 0 obj\n";
    for (int i = 0; i < 200; ++i) deep += "<< /A ";
    EXPECT_EQ(filter.FilterText(4, deep + "/S"), "4 0 obj\nnull\nendobj\n");
    // Arrays nest as deep as dictionaries (a fuzzer finding ran out of stack on 8,000).
    EXPECT_EQ(filter.FilterText(4, "4 0 obj\n" + std::string(8000, '[') + "/JS"),
              "4 0 obj\nnull\nendobj\n");
    // Unterminated texts end the scan at their end.
    for (const char* cut : {"4 0 obj\n<< /S /Launch /F (x", "4 0 obj\n<< /S [ /JavaScript",
                            "4 0 obj\n<< /A << /S /Launch", "4 0 obj\n<< /S <41"}) {
        EXPECT_NO_THROW(filter.FilterText(4, cut)) << cut;
    }
}

TEST(ActiveContentFilter, CountsEachObjectOnceAndReportsInOneLine) {
    CPdfActiveContentFilter filter;
    const std::string link = "8 0 obj\n<< /A << /S /Launch /F (x) >> >>\nendobj\n";
    filter.FilterText(8, link);
    filter.FilterText(8, link);
    filter.FilterText(9, "9 0 obj\n<< /S /JavaScript /JS (a) >>\nendobj\n");
    filter.FilterText(10, "10 0 obj\n<< /S /JavaScript /JS (b) >>\nendobj\n");
    CPdfWarnings warnings;
    filter.Report(warnings);
    ASSERT_EQ(warnings.Items().size(), 1u);
    EXPECT_EQ(warnings.Items()[0],
              "active content removed from the output: 2 JavaScript actions, 1 Launch action");
    CPdfWarnings none;
    CPdfActiveContentFilter().Report(none);
    EXPECT_TRUE(none.Empty());
}

}  // namespace
