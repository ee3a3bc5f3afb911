// The image readers on real files of every supported kind: measures, resolution and the form
// the picture is embedded in (data passed through where the format allows, else compressed
// at its own depth), and refusal of damaged or foreign files.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstring>
#include <ctime>

#include "printpdf/ImageLimits.h"
#include "printpdf/ImageReader.h"
#include "printpdf/tests/ImageCases.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

using printpdf::CountImages;
using printpdf::ReadImage;
using printpdf_tests::ImageCase;
using printpdf_tests::ImageFiles;

namespace {

// The most memory this process has held at once.
long PeakMemoryKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

class ImageReaderTest : public testing::TestWithParam<ImageCase> {};

TEST_P(ImageReaderTest, ReportsMeasuresAndEmbedsLosslessly) {
    const ImageCase& imageCase = GetParam();
    std::string path = ImageFiles::Get().Path(imageCase);
    EXPECT_EQ(CountImages(path), 1);
    std::optional<printpdf::EmbeddedImage> image = ReadImage(path, 1);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 600);
    EXPECT_EQ(image->height, 400);
    EXPECT_DOUBLE_EQ(image->xResolution, imageCase.resolution);
    EXPECT_DOUBLE_EQ(image->yResolution, imageCase.resolution);
    EXPECT_EQ(image->filter, imageCase.filter);
    EXPECT_EQ(image->colorSpace, imageCase.colorSpace);
    EXPECT_EQ(image->bitsPerComponent, imageCase.bitsPerComponent);
    EXPECT_EQ(image->softMask != nullptr, imageCase.softMask);
    ASSERT_NE(image->data, nullptr);
    EXPECT_GT(image->data->getSize(), 0u);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, ImageReaderTest,
                         testing::ValuesIn(printpdf_tests::ImageCases()),
                         [](const auto& test) { return test.param.name; });

TEST(ImageReaderPassThrough, JpegDataIsTheFileItself) {
    std::string path = ImageFiles::Get().Path("JpegRgb");
    std::string bytes = testing_support::ReadWholeFile(path);
    std::optional<printpdf::EmbeddedImage> image = ReadImage(path, 1);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->data->getSize(), bytes.size());
    EXPECT_EQ(0, std::memcmp(image->data->getBuffer(), bytes.data(), bytes.size()));
}

TEST(ImageReaderMultiPage, EachTiffPageAndGifFrameIsItsOwnImage) {
    testing_support::ScratchDir dir;
    std::string tiff = dir.File("three.tif");
    std::string gif = dir.File("three.gif");
    testing_support::MustRun("convert -size 30x20 xc:red -size 40x50 xc:blue -size 70x10 xc:gray " +
                             testing_support::ShellQuote(tiff));
    testing_support::MustRun("convert -size 30x20 xc:red -size 30x20 xc:blue -size 30x20 xc:gray " +
                             testing_support::ShellQuote(gif));
    EXPECT_EQ(CountImages(tiff), 3);
    EXPECT_EQ(CountImages(gif), 3);
    const int widths[] = {30, 40, 70};
    for (int index = 1; index <= 3; ++index) {
        std::optional<printpdf::EmbeddedImage> image = ReadImage(tiff, index);
        ASSERT_TRUE(image.has_value()) << index;
        EXPECT_EQ(image->width, widths[index - 1]);
        EXPECT_TRUE(ReadImage(gif, index).has_value());
    }
    EXPECT_FALSE(ReadImage(tiff, 4).has_value());
    EXPECT_FALSE(ReadImage(tiff, 0).has_value());
    EXPECT_FALSE(ReadImage(gif, 4).has_value());
}

// A GIF of `frames` 1 x 1 frames, alternately black and white (about 15 bytes each).
std::string GifOfFrames(int frames) {
    std::string gif("GIF89a\x02\x00\x02\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF", 19);
    for (int frame = 0; frame < frames; ++frame) {
        gif += std::string("\x2C\0\0\0\0\x01\0\x01\0\0", 10);
        // Code size 2: clear (4), the pixel, end (5), in 3-bit codes.
        int codes = 4 | ((frame % 2) << 3) | (5 << 6);
        gif += std::string{'\x02', '\x02', static_cast<char>(codes & 0xFF),
                           static_cast<char>(codes >> 8), '\0'};
    }
    return gif + "\x3B";
}

TEST(ImageReaderMultiPage, ManyGifFramesAreDecodedOnceAndCapped) {
    testing_support::ScratchDir dir;
    // Before, each frame decoded the whole file again: 4,000 frames took minutes.
    std::string many = dir.File("many.gif");
    testing_support::WriteWholeFile(many, GifOfFrames(4000));
    std::clock_t start = std::clock();  // processor time: the machine's load does not count
    ASSERT_EQ(CountImages(many), 4000);
    for (int index = 1; index <= 4000; ++index) {
        std::optional<printpdf::EmbeddedImage> image = ReadImage(many, index);
        ASSERT_TRUE(image.has_value()) << index;
        ASSERT_EQ(image->width, 1);
    }
    EXPECT_LT(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC, 10.0);

    // Past the cap the count says so, and no frame is read.
    std::string tooMany = dir.File("too-many.gif");
    testing_support::WriteWholeFile(tooMany, GifOfFrames(printpdf::kMostImagesPerFile + 5));
    EXPECT_EQ(CountImages(tooMany), printpdf::kMostImagesPerFile + 1);
    EXPECT_FALSE(ReadImage(tooMany, 1).has_value());
}

// Damaged and foreign files: each is refused without a crash (the sanitizers watch the rest).
TEST(ImageReaderBadInput, DamagedAndForeignFilesAreRefused) {
    testing_support::ScratchDir dir;
    ImageFiles& files = ImageFiles::Get();
    struct Damaged {
        std::string name;
        std::string bytes;
    };
    std::string png = testing_support::ReadWholeFile(files.Path("PngRgb"));
    std::string tiff = testing_support::ReadWholeFile(files.Path("TiffGrayLzw"));
    std::string bmp = testing_support::ReadWholeFile(files.Path("Bmp24"));
    std::string gif = testing_support::ReadWholeFile(files.Path("Gif"));
    std::string pngFlipped = png;
    pngFlipped[pngFlipped.size() / 2] ^= 0x55;
    std::string bmpHuge = bmp;
    bmpHuge[18] = '\xFF';  // width far beyond the data
    bmpHuge[21] = '\x7F';
    // A small GIF whose frame is made to claim 65535 x 65535 pixels.
    std::string smallGif = dir.File("small.gif");
    testing_support::MustRun("convert -size 2x2 xc:red " + testing_support::ShellQuote(smallGif));
    std::string hugeGif = testing_support::ReadWholeFile(smallGif);
    ASSERT_TRUE(ReadImage(smallGif, 1).has_value());
    size_t frame = hugeGif.find(std::string("\x2C\0\0\0\0\x02\0\x02\0", 9));
    ASSERT_NE(frame, std::string::npos);
    hugeGif.replace(frame + 5, 4, "\xFF\xFF\xFF\xFF");
    const std::vector<Damaged> damaged = {
        {"empty.png", ""},
        {"text.tif", "this is not an image at all"},
        {"cut.png", png.substr(0, png.size() / 2)},
        {"flipped.png", pngFlipped},
        {"cut.tif", tiff.substr(0, 200)},
        {"cut.bmp", bmp.substr(0, bmp.size() / 2)},
        {"huge.bmp", bmpHuge},
        {"cut.gif", gif.substr(0, 40)},
        {"huge.gif", hugeGif},
        {"header.jpg", "\xFF\xD8\xFF\xE0 broken"},
    };
    for (const Damaged& file : damaged) {
        std::string path = dir.File(file.name);
        testing_support::WriteWholeFile(path, file.bytes);
        EXPECT_FALSE(ReadImage(path, 1).has_value()) << file.name;
    }
    EXPECT_EQ(CountImages(dir.File("text.tif")), 0);
    EXPECT_EQ(CountImages(dir.File("no such file.tif")), 0);
    EXPECT_FALSE(ReadImage(dir.File("no such file.png"), 1).has_value());
}

// Files the fuzzer found (printpdf/tests/damaged/), each with the images it gives: counted as
// many as can be read, and never one more. A file of a few hundred bytes must also cost no
// more than a few megabytes, whatever it claims.
TEST(ImageReaderBadInput, FuzzerFindingsGiveWhatTheyHoldCheaply) {
    struct Finding {
        const char* file;
        int count;
        bool firstReads;
    };
    const Finding findings[] = {
        // A CCITT G4 page whose one strip claims a gigabyte.
        {"g4-strip-claims-a-gigabyte.tif", 1, false},
        // A page that reads, in a file cut before its link to the next page.
        {"page-without-next-link.tif", 1, true},
        // An uncompressed 2060 x 33025 page of 16-bit RGB in 748 bytes: its samples are not there.
        {"uncompressed-page-without-its-strips.tif", 1, false},
        // A page whose damaged directory makes libtiff's colour reader ask for 29 GB at once.
        {"rgba-read-claims-29-gigabytes.tif", 2, false},
    };
    const std::string folder = testing_support::SourceDir() + "/printpdf/tests/damaged/";
    for (const Finding& finding : findings) {
        const std::string path = folder + finding.file;
        const long peakBefore = PeakMemoryKilobytes();
        EXPECT_EQ(CountImages(path), finding.count) << finding.file;
        EXPECT_EQ(ReadImage(path, 1).has_value(), finding.firstReads) << finding.file;
        EXPECT_FALSE(ReadImage(path, finding.count + 1).has_value()) << finding.file;
        EXPECT_LT(PeakMemoryKilobytes() - peakBefore, 64 * 1024) << finding.file;
    }
}
