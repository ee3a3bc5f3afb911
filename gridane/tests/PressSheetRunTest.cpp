// Whole runs with the press sheet on files of real producers: every sheet carries its own slug
// line (read back by pdftotext), the registration targets and the colour bar where the plan puts
// them as the sheet is shown, the fixed marks in one stream that all sheets share; a hostile file
// name stays text; bad values fail the run with their message.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "gridane/PressSheet.h"
#include "gridane/tests/ImposeHelpers.h"
#include "testing/Bookmarks.h"
#include "testing/ScopedEnvironment.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

constexpr int kDpi = 40;
constexpr const char* kSlug = "slug={file}|{sheet}/{sheets}|{side}|{job}|{date}";

std::string DataFile(const std::string& name) {
    return SourceDir() + "/gridane/tests/data/" + name;
}

std::string PageText(const std::string& pdf, int page) {
    std::string p = std::to_string(page);
    return Run("pdftotext -f " + p + " -l " + p + " " + ShellQuote(pdf) + " -").output;
}

// The content streams every page lists, by qpdf.
std::vector<std::vector<std::string>> PageContents(const std::string& pdf) {
    std::vector<std::vector<std::string>> pages;
    std::istringstream lines(Run("qpdf --show-pages " + ShellQuote(pdf)).output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with("page ")) pages.emplace_back();
        if (line.starts_with("    ") && !pages.empty()) pages.back().push_back(line);
    }
    return pages;
}

struct PressCase {
    std::string name;
    std::string input;  // a data file, or "turned": the LaTeX file turned a quarter by qpdf
    std::string settings;
};

void PrintTo(const PressCase& c, std::ostream* os) {
    *os << c.name;
}

class PressSheetRuns : public ::testing::TestWithParam<PressCase> {};

TEST_P(PressSheetRuns, EverySheetCarriesItsSlugTargetsAndBar) {
    const PressCase& c = GetParam();
    ScopedEnvironment day("SOURCE_DATE_EPOCH", "31536000");
    ScratchDir dir;
    std::string input = DataFile(c.input);
    if (c.input == "turned") {
        input = dir.File("turned.pdf");
        ASSERT_EQ(test::TurnedByQpdf("--rotate=90", DataFile("latex-a4-links.pdf"), input), "");
    }
    std::string output = dir.File("job-7.pdf");
    ASSERT_EQ(test::Impose(c.settings + " regmarks colorbar " + kSlug, input, output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;

    int sides = PageCount(output), sheets = (sides + 1) / 2;
    std::string file = std::filesystem::path(input).filename();
    std::set<std::string> fixedStreams;
    std::vector<std::vector<std::string>> contents = PageContents(output);
    ASSERT_EQ(static_cast<int>(contents.size()), sides);
    for (int page = 1; page <= sides; ++page) {
        std::string slug = file + "|" + std::to_string((page + 1) / 2) + "/" +
                           std::to_string(sheets) + "|" + (page % 2 ? "front" : "back") +
                           "|job-7|1971-01-01";
        EXPECT_NE(PageText(output, page).find(slug), std::string::npos) << "side " << page;
        // The fixed marks' stream comes before the slug's, the last one.
        const auto& streams = contents[static_cast<size_t>(page) - 1];
        ASSERT_GE(streams.size(), 2u);
        fixedStreams.insert(streams[streams.size() - 2]);

        Image render = RenderPage(output, page, kDpi);  // as shown, turned by the viewer
        double w = render.Width() * 72.0 / kDpi, h = render.Height() * 72.0 / kDpi;
        for (auto [x, y] :
             {std::pair{w / 2, 10.0}, {w / 2, h - 10}, {10.0, h / 2}, {w - 10, h / 2}})
            EXPECT_LT(test::DarkestOn(render, kDpi, h, x, y, x, y), 200)
                << "target at " << x << "," << y;
        EXPECT_LT(test::DarkestOn(render, kDpi, h, kPressBand + 9 * kPatchSize + 4, 10,
                                  kPressBand + 9 * kPatchSize + 4, 10),
                  100)
            << "black patch";
        EXPECT_LT(test::DarkestOn(render, kDpi, h, kPressBand + 4, 10, kPressBand + 4, 10), 230)
            << "cyan patch";
        EXPECT_GT(test::DarkestOn(render, kDpi, h, kPressBand + 17 * kPatchSize, 10,
                                  kPressBand + 17 * kPatchSize, 10),
                  240)
            << "after the bar";
    }
    EXPECT_EQ(fixedStreams.size(), 1u) << "sheets of one size share the fixed marks";
}

const PressCase kPressCases[] = {
    {"latex_a4_booklet_on_a3_with_marks", "latex-a4-links.pdf", "outer_in sheet=A3 cropmarks"},
    {"ghostscript_a5_bleed_booklet", "gs-a5-bleed.pdf", "outer_in sheet=A4 cropmarks foldmarks"},
    {"writer_letter_landscape_duplex", "writer-letter-landscape.pdf", "duplex"},
    {"qpdf_mixed_turned_on_a3", "mixed-turned-objstm.pdf", "sheet=A3"},
    {"latex_turned_a_quarter_on_a3", "turned", "sheet=A3 cropmarks"},
};
INSTANTIATE_TEST_SUITE_P(RealFiles, PressSheetRuns, ::testing::ValuesIn(kPressCases),
                         [](const ::testing::TestParamInfo<PressCase>& c) { return c.param.name; });

TEST(PressSheetRun, AHostileFileNameIsShownAsTextAndNothingMore) {
    ScratchDir dir;
    std::string name = "a) Tj 9 Tr (\\b \xc3\xa9\xff.pdf";
    std::string input = dir.File(name), output = dir.File("out.pdf");
    std::filesystem::copy_file(DataFile("latex-a4-links.pdf"), input);
    ASSERT_EQ(test::Impose("slug={file}", input, output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    EXPECT_NE(PageText(output, 1).find("a) Tj 9 Tr (\\b \xc3\xa9?.pdf"), std::string::npos)
        << PageText(output, 1);
}

}  // namespace
}  // namespace gridane
