// A whole run on in-memory files, as the fuzz target runs it: the input, the 2-to-1 pre-pass
// file and the output stay in memory, the output is the one a run on disk writes, and a run on
// disk at the same time in the same process is not touched by it.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "gridane/tests/ImposeHelpers.h"
#include "platform/MemoryFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

TEST(MemoryRun, ImposesInMemoryAsOnDiskBesideADiskRun) {
    ScratchDir dir;
    const std::string input = test::NumberedLetterPdf(4);
    const std::string onDisk = dir.File("disk.pdf");
    const std::string memoryIn = dir.File("memory-in.pdf");
    const std::string memoryOut = dir.File("memory-out.pdf");
    platform::MemoryFiles files;
    files.Put(memoryIn, ReadWholeFile(input));

    auto diskRun =
        std::async(std::launch::async, [&] { return test::Impose("up2to1", input, onDisk); });
    const std::string status =
        test::Impose("up2to1", memoryIn, memoryOut, platform::FileSpace(files));
    ASSERT_EQ(diskRun.get(), "");
    ASSERT_EQ(status, "");

    std::shared_ptr<const std::string> written = files.Get(memoryOut);
    ASSERT_NE(written, nullptr);
    // The input and the output, and nothing else: no pre-pass or private file was left.
    EXPECT_EQ(files.Count(), 2u);
    EXPECT_FALSE(std::filesystem::exists(memoryOut));
    EXPECT_FALSE(std::filesystem::exists(memoryIn));
    WriteWholeFile(memoryOut, *written);
    EXPECT_TRUE(QpdfCheckClean(memoryOut));
    EXPECT_EQ(PageCount(memoryOut), PageCount(onDisk));
}

}  // namespace
}  // namespace gridane
