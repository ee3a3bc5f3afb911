// Images placed on pages through the DPL entry points: the written file passes qpdf's check
// and each page renders like the image as ImageMagick reads it.
#include <gtest/gtest.h>

#include "printpdf/tests/DplInstance.h"
#include "printpdf/tests/ImageCases.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

using printpdf_tests::DplInstance;
using printpdf_tests::ImageCase;
using printpdf_tests::ImageFiles;
using printpdf_tests::W;

namespace {

// Largest mean gray difference (of 255) accepted between a render and the reference; the two
// renderers smooth edges and convert CMYK a little differently.
constexpr double kSamePicture = 10.0;

// One page of 600 x 400 points showing image `index` of `imageFile`.
void WriteImagePage(const std::string& imageFile, int index, const std::string& pdf) {
    DplInstance dpl;
    ASSERT_GT(DPLNewDocument(dpl.Id()), 0);
    int image = DPLAddImageFromFile(dpl.Id(), W(imageFile).c_str(), index);
    ASSERT_GT(image, 0);
    ASSERT_EQ(DPLSelectImage(dpl.Id(), image), 1);
    ASSERT_EQ(DPLSetPageDimensions(dpl.Id(), 600, 400), 1);
    ASSERT_EQ(DPLSetOrigin(dpl.Id(), 1), 1);
    ASSERT_EQ(DPLDrawImage(dpl.Id(), 0, 0, 600, 400), 1);
    ASSERT_EQ(DPLSaveToFile(dpl.Id(), W(pdf).c_str()), 1);
}

}  // namespace

class ImageRenderTest : public testing::TestWithParam<ImageCase> {};

TEST_P(ImageRenderTest, PageShowsTheImage) {
    testing_support::ScratchDir dir;
    std::string pdf = dir.File("page.pdf");
    std::string imageFile = ImageFiles::Get().Path(GetParam());
    WriteImagePage(imageFile, 1, pdf);
    std::string report;
    EXPECT_TRUE(testing_support::QpdfCheck(pdf, &report)) << report;
    EXPECT_LT(testing_support::PageDifferenceFromImage(pdf, 1, 36, imageFile, 0), kSamePicture);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, ImageRenderTest,
                         testing::ValuesIn(printpdf_tests::ImageCases()),
                         [](const auto& test) { return test.param.name; });

TEST(ImageRender, ImageDrawnTwiceIsStoredOnce) {
    testing_support::ScratchDir dir;
    std::string pdf = dir.File("twice.pdf");
    std::string imageFile = ImageFiles::Get().Path("PngRgb");
    {
        DplInstance dpl;
        DPLNewDocument(dpl.Id());
        int image = DPLAddImageFromFile(dpl.Id(), W(imageFile).c_str(), 1);
        ASSERT_EQ(DPLDrawImage(dpl.Id(), 0, 0, 300, 200), 1);
        ASSERT_GT(DPLNewPage(dpl.Id()), 0);
        ASSERT_EQ(DPLSelectImage(dpl.Id(), image), 1);
        ASSERT_EQ(DPLDrawImage(dpl.Id(), 0, 0, 300, 200), 1);
        ASSERT_EQ(DPLSaveToFile(dpl.Id(), W(pdf).c_str()), 1);
    }
    std::string bytes = testing_support::ReadWholeFile(pdf);
    size_t images = 0;
    for (size_t at = bytes.find("/Subtype /Image"); at != std::string::npos;
         at = bytes.find("/Subtype /Image", at + 1)) {
        ++images;
    }
    EXPECT_EQ(images, 1u);
    EXPECT_EQ(testing_support::PageCount(pdf), 2);
}

TEST(ImageRender, FitKeepsProportionsInsideTheBox) {
    testing_support::ScratchDir dir;
    std::string pdf = dir.File("fit.pdf");
    std::string imageFile = ImageFiles::Get().Path("TiffG4");  // 600 x 400, mostly dark left
    {
        DplInstance dpl;
        DPLNewDocument(dpl.Id());
        DPLAddImageFromFile(dpl.Id(), W(imageFile).c_str(), 1);
        ASSERT_EQ(DPLSetPageDimensions(dpl.Id(), 600, 800), 1);
        ASSERT_EQ(DPLSetOrigin(dpl.Id(), 1), 1);
        ASSERT_EQ(DPLFitImage(dpl.Id(), 0, 0, 600, 800, 1, 1, 0), 1);
        EXPECT_EQ(DPLFitImage(dpl.Id(), 0, 0, 600, 800, 3, 1, 0), 0);
        EXPECT_EQ(DPLFitImage(dpl.Id(), 0, 0, 600, 800, 1, 1, 2), 0);
        ASSERT_EQ(DPLSaveToFile(dpl.Id(), W(pdf).c_str()), 1);
    }
    // The image fills the middle band (y 200..600 points) and leaves white above and below.
    testing_support::Image page = testing_support::RenderPage(pdf, 1, 36);  // 300 x 400 px
    EXPECT_DOUBLE_EQ(page.Crop(0, 0, 300, 95).DarkFraction(), 0.0);
    EXPECT_DOUBLE_EQ(page.Crop(0, 305, 300, 95).DarkFraction(), 0.0);
    testing_support::Image band = page.Crop(0, 100, 300, 200);
    testing_support::Image reference =
        testing_support::ImageMagickPicture(imageFile, 0, band.Width(), band.Height());
    EXPECT_LT(band.MeanDifference(reference), kSamePicture);
}

TEST(ImageRender, EveryPageOfAMultiPageTiff) {
    testing_support::ScratchDir dir;
    std::string tiff = dir.File("pages.tif");
    ImageFiles& files = ImageFiles::Get();
    testing_support::MustRun("convert " + testing_support::ShellQuote(files.Path("PngRgb")) + " " +
                             testing_support::ShellQuote(files.Path("TiffG4")) + " " +
                             testing_support::ShellQuote(files.Path("JpegGray")) + " -rotate 90 " +
                             testing_support::ShellQuote(tiff));
    for (int index = 1; index <= 3; ++index) {
        std::string pdf = dir.File("page" + std::to_string(index) + ".pdf");
        WriteImagePage(tiff, index, pdf);
        // Turned, the pictures no longer match the 600 x 400 page's proportions; the
        // comparison scales both to one size, so order and content still show.
        EXPECT_LT(testing_support::PageDifferenceFromImage(pdf, 1, 36, tiff, index - 1),
                  kSamePicture)
            << index;
    }
}
