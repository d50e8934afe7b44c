// The archive tree and its file: look-ups by name and position, free elements, the exact bytes of a file, and the
// refusal of every malformed file without touching the tree already held.
#include "datakeeper/ArchiveFile.h"
#include "datakeeper/CArchiveManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace datakeeper;

namespace {

constexpr GUID kGuid{0x04030201, 0x0605, 0x0807, {9, 10, 11, 12, 13, 14, 15, 16}};

// Root "P": int "A" = -2, float "F" = 0.5, string "S" = "가", GUID "G"; children "C" (empty) and "D" (int "x" = 7).
void BuildSample(CArchiveManager& archive)
{
    CArchiveElement* root = archive.GetRoot();
    root->SetName("P");
    root->AddAttribute(CDataCell(-2), "A");
    root->AddAttribute(CDataCell(0.5f), "F");
    root->AddAttribute(CDataCell(std::string("\xEA\xB0\x80")), "S");
    root->AddAttribute(CDataCell(kGuid), "G");
    root->AddChild("C");
    root->AddChild("D")->AddAttribute(CDataCell(7), "x");
}

const std::vector<uint8_t> kSampleBytes = {
    'D', 'K', 'A', 'R', 1, 0, 0, 0,
    1, 0, 0, 0, 'P',
    4, 0, 0, 0,
    1, 0, 0, 0, 'A', 1, 0xFE, 0xFF, 0xFF, 0xFF,
    1, 0, 0, 0, 'F', 2, 0x00, 0x00, 0x00, 0x3F,
    1, 0, 0, 0, 'S', 3, 3, 0, 0, 0, 0xEA, 0xB0, 0x80,
    1, 0, 0, 0, 'G', 4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
    2, 0, 0, 0,
    1, 0, 0, 0, 'C', 0, 0, 0, 0, 0, 0, 0, 0,
    1, 0, 0, 0, 'D', 1, 0, 0, 0, 1, 0, 0, 0, 'x', 1, 7, 0, 0, 0, 0, 0, 0, 0,
};

}  // namespace

TEST(ArchiveElement, FindsTheFirstOfANameAndEveryPositionAndNothingElse)
{
    CArchiveManager archive;
    CArchiveElement* root = archive.GetRoot();
    root->AddAttribute(CDataCell(1), "n");
    root->AddAttribute(CDataCell(2), "n");
    CArchiveElement* first = root->AddChild("c");
    root->AddChild("c");
    EXPECT_EQ(root->GetAttribute("n")->GetData().GetInt(), 1);
    EXPECT_EQ(root->GetAttribute(1)->GetData().GetInt(), 2);
    EXPECT_EQ(root->GetAttribute("N"), nullptr);  // names are case-sensitive
    EXPECT_EQ(root->GetAttribute(2), nullptr);
    EXPECT_EQ(root->GetAttribute(-1), nullptr);
    EXPECT_EQ(root->GetChild("c"), first);
    EXPECT_EQ(root->GetChild(2), nullptr);
    EXPECT_EQ(root->GetChildCount(), 2);
    EXPECT_EQ(first->GetArchiveManager(), &archive);
}

TEST(ArchiveElement, ReadsAValueOnlyAsItsOwnType)
{
    const CDataCell text(std::string("5"));
    EXPECT_EQ(text.GetInt(), 0);
    EXPECT_EQ(text.GetGuid(), GUID{});
    EXPECT_EQ(CDataCell(5).GetString(), "");
    EXPECT_EQ(CDataCell(1.5f).GetInt(), 0);
    EXPECT_EQ(CDataCell(kGuid).GetGuid(), kGuid);
}

TEST(ArchiveElement, AttachesOnlyItsOwnManagersFreeElementsAndEachOnce)
{
    CArchiveManager archive, other;
    CArchiveElement* free = archive.NewElement();
    free->SetName("made");
    EXPECT_EQ(archive.GetRoot()->AddChild(other.NewElement()), nullptr);
    EXPECT_EQ(archive.GetRoot()->AddChild(static_cast<CArchiveElement*>(nullptr)), nullptr);
    EXPECT_EQ(archive.GetRoot()->AddChild(archive.GetRoot()), nullptr);
    EXPECT_EQ(archive.GetRoot()->AddChild(free), free);
    EXPECT_EQ(archive.GetRoot()->GetChild("made"), free);
    EXPECT_EQ(archive.GetRoot()->GetChild(0)->AddChild(free), nullptr);  // already in the tree
    EXPECT_EQ(archive.GetRoot()->GetChildCount(), 1);
}

TEST(ArchiveFile, WritesTheDocumentedBytesAndReadsThemBack)
{
    CArchiveManager archive;
    BuildSample(archive);
    EXPECT_EQ(archive.SaveToBytes(), kSampleBytes);

    CArchiveManager loaded;
    ASSERT_TRUE(loaded.LoadFromBytes(kSampleBytes.data(), kSampleBytes.size())) << loaded.GetLastError();
    EXPECT_TRUE(loaded.GetRoot()->Equals(*archive.GetRoot()));
    EXPECT_EQ(loaded.GetRoot()->GetChild("D")->GetArchiveManager(), &loaded);
}

TEST(ArchiveFile, SavesThroughAFileAndReplacesNoFileOnFailure)
{
    const auto folder = std::filesystem::temp_directory_path() / ("datakeeper_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "a.dka").string();
    CArchiveManager archive;
    BuildSample(archive);
    ASSERT_TRUE(archive.Save(path)) << archive.GetLastError();
    CArchiveManager loaded;
    ASSERT_TRUE(loaded.Load(path)) << loaded.GetLastError();
    EXPECT_TRUE(loaded.GetRoot()->Equals(*archive.GetRoot()));
    EXPECT_EQ(std::filesystem::directory_iterator(folder)->path(), path);  // no temporary left behind

    EXPECT_FALSE(archive.Save((folder / "missing" / "b.dka").string()));
    EXPECT_FALSE(loaded.Load((folder / "none.dka").string()));
    EXPECT_FALSE(loaded.GetLastError().empty());
    std::filesystem::remove_all(folder);
}

TEST(ArchiveFile, RefusesEveryMalformedFileAndKeepsTheTreeHeld)
{
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    for (size_t cut = 0; cut < kSampleBytes.size(); ++cut)
        cases.emplace_back("cut at " + std::to_string(cut),
                           std::vector<uint8_t>(kSampleBytes.begin(), kSampleBytes.begin() + cut));
    auto patched = [&](const char* label, size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> file = kSampleBytes;
        std::copy(bytes.begin(), bytes.end(), file.begin() + at);
        cases.emplace_back(label, file);
    };
    patched("magic", 0, {'d'});
    patched("format version", 4, {2});
    patched("name length past the end", 8, {0xFF, 0xFF, 0xFF, 0x7F});
    patched("attribute count past the end", 13, {0xFF, 0xFF, 0xFF, 0xFF});
    patched("unknown type", 22, {5});
    patched("empty type", 22, {0});
    patched("string length past the end", 44, {0xF0, 0, 0, 0});
    patched("child count past the end", 74, {0x01});
    std::vector<uint8_t> trailing = kSampleBytes;
    trailing.push_back(0);
    cases.emplace_back("a byte after the end", trailing);
    // Elements nested past the depth limit, each with one child.
    std::vector<uint8_t> deep = {'D', 'K', 'A', 'R', 1, 0, 0, 0};
    for (int i = 0; i <= kMaxArchiveDepth + 1; ++i)
        deep.insert(deep.end(), {0, 0, 0, 0, 0, 0, 0, 0, uint8_t(i <= kMaxArchiveDepth), 0, 0, 0});
    cases.emplace_back("nested too deep", deep);

    CArchiveManager archive;
    BuildSample(archive);
    CArchiveElement* held = archive.GetRoot()->GetChild("D");
    for (const auto& [label, bytes] : cases) {
        SCOPED_TRACE(label);
        EXPECT_FALSE(archive.LoadFromBytes(bytes.data(), bytes.size()));
        EXPECT_FALSE(archive.GetLastError().empty());
        EXPECT_EQ(archive.GetRoot()->GetChild("D"), held);
    }
    EXPECT_EQ(archive.SaveToBytes(), kSampleBytes);
}
