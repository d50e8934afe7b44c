// Every reader of outside bytes has a fuzz target with seeds made by its own writers; the seeds and the inputs
// fuzzing once found harmful (regressions/<target>/) are replayed through the very same entry points here, under
// the sanitizers of the normal build.
#include "FuzzSeeds.h"
#include "FuzzTarget.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const char* const kReaders[] = {
    "overlay_stream",
    "clipboard_file",
    "property_image",
    "property_stream",
    "image_record",
    "dib",
    "calib_record",
    "undo_file",
    "registry_store",
    "ini_file",
    "codec",
    "module_marker",
    "calibration_list",
    "program_texts",
    "winmsg_frame",
    "registry_script",
    "native_file",
    "bitmap_file",
    "companion_bitmap",
    "stamp_picture",
    "ipl_dib",
    "report_settings",
    "report_setting",
    "footswitch_reports",
    "thumbnail",
    "codec_frames",
    "companion_mailbox",
    "camera_frame",
    "companion_tlv",
    "profile_settings",
    "camera_set_list",
    "palette_file",
    "kernel_file",
    "caliper_settings",
    "matrix_record",
    "grid_text",
    "property_archive",
    "quantor_grids",
};

FuzzEntry EntryOf(const std::string& name)
{
    for (const FuzzTargetInfo& target : RegisteredFuzzTargets())
        if (target.name == name)
            return target.entry;
    return nullptr;
}

std::filesystem::path RegressionFolder(const std::string& name)
{
    const char* source = std::getenv("VISTREL_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "fuzz" / "regressions" / name;
}

class FuzzReplay : public ::testing::TestWithParam<const char*>
{
};

}  // namespace

TEST(FuzzTargets, EveryTargetIsAReaderOfTheList)
{
    for (const FuzzTargetInfo& target : RegisteredFuzzTargets())
        EXPECT_NE(std::find(std::begin(kReaders), std::end(kReaders), target.name), std::end(kReaders))
            << target.name << " is not replayed";
}

TEST_P(FuzzReplay, SeedsAndRegressionsPassThroughTheTarget)
{
    const std::string name = GetParam();
    const FuzzEntry entry = EntryOf(name);
    ASSERT_NE(entry, nullptr) << "no target";
    const auto seeds = RegisteredFuzzSeeds().find(name);
    ASSERT_NE(seeds, RegisteredFuzzSeeds().end()) << "no seeds";
    const FuzzSeedList list = seeds->second();
    ASSERT_FALSE(list.empty()) << "the writers made no seed";
    for (const std::vector<uint8_t>& seed : list)
        EXPECT_EQ(entry(seed.data(), seed.size()), 0);

    const std::filesystem::path folder = RegressionFolder(name);
    if (!std::filesystem::exists(folder))
        return;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        SCOPED_TRACE(file.path().string());
        EXPECT_EQ(entry(bytes.data(), bytes.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzReplay, ::testing::ValuesIn(kReaders));
