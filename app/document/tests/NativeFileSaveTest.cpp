// The save policy: document or picture by the extension, the overlay merged as the preference says with one
// question at most, and failures reported with the earlier file left as it was.
#include "document/NativeFileSave.h"

#include "NativeFileTestSupport.h"

#include "inifile/FileBytes.h"
#include "qvcodec/CQvImageCodec.h"
#include "testing/MessageBoxRecorder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace nativefile_test;
using testing_support::MessageBoxes;

namespace {

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class SaveFixture : public ::testing::Test
{
protected:
    CQvGObjectPropertyTotal savedDefaults = g_GOPropertyTotal;
    QTemporaryDir folder;
    CQvImageCodec codec;
    SilentCanvas canvas{40, 30};
    CQvImage image;
    CQvGObjectContainer overlay;
    CLatticer grid;
    DocumentSaveParts parts;
    int merges = 0;
    int adopted = 0;

    SaveFixture()
    {
        codec.Install("");
        image.Create(QV_RGB24, 40, 30, 0);
        overlay.SetCanvasWnd(&canvas);
        overlay.SetCanvasSize(CSize(40, 30));
        overlay.SetAutoRepeatCreatingObject(0);
        parts.image = &image;
        parts.overlay = &overlay;
        parts.grid = &grid;
        parts.renderMerged = [this](CQvImage& merged) {
            ++merges;
            merged = image;
            return true;
        };
        parts.adoptMerged = [this](const CQvImage&) { ++adopted; };
    }
    ~SaveFixture() override { g_GOPropertyTotal = savedDefaults; }

    std::string Path(const std::string& name) const { return folder.filePath(QString::fromStdString(name)).toStdString(); }
    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path().toStdString()))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

struct PolicyCase
{
    const char* name;
    OverlayMergeRule rule;
    int flatten;
    bool objects;
    int answer;  // to the merge question, when one is asked
    int expectedQuestions;
    int expectedMerges;
};

}  // namespace

TEST_F(SaveFixture, MergesAsThePreferenceSaysAndAsksAtMostOnce)
{
    const PolicyCase cases[] = {
        {"a.bmp", OverlayMergeRule::AsPreferenceSays, 2, true, IDYES, 1, 1},
        {"b.png", OverlayMergeRule::AsPreferenceSays, 2, true, IDNO, 1, 0},
        {"c.jpg", OverlayMergeRule::AsPreferenceSays, 0, true, IDNO, 0, 1},
        {"d.png", OverlayMergeRule::AsPreferenceSays, 1, true, IDYES, 0, 0},
        {"e.png", OverlayMergeRule::AsPreferenceSays, 2, false, IDYES, 0, 0},
        {"f.qrx", OverlayMergeRule::AsPreferenceSays, 2, true, IDYES, 0, 0},
        {"g.QRX", OverlayMergeRule::AsPreferenceSays, 0, true, IDYES, 0, 0},
        {"h.jpg", OverlayMergeRule::Never, 0, true, IDYES, 0, 0},
        {"i.tif", OverlayMergeRule::Never, 2, true, IDYES, 0, 0},
    };
    for (const PolicyCase& c : cases) {
        overlay.RemoveAll();
        if (c.objects)
            ClickLine(overlay, canvas, CPoint(2, 2), CPoint(30, 20));
        merges = 0;
        adopted = 0;
        MessageBoxes().Reset();
        MessageBoxes().QueueAnswers({c.answer});
        const std::string path = Path(c.name);
        EXPECT_TRUE(SaveDocumentParts(parts, path, c.rule, c.flatten, codec)) << c.name;
        EXPECT_EQ(static_cast<int>(MessageBoxes().Boxes().size()), c.expectedQuestions) << c.name;
        if (c.expectedQuestions == 1) {
            EXPECT_EQ(MessageBoxes().Boxes()[0].text, NativeFileString(IDS_ASK_MERGE));
            EXPECT_EQ(MessageBoxes().Boxes()[0].type & MB_TYPEMASK, MB_YESNO);
        }
        EXPECT_EQ(merges, c.expectedMerges) << c.name;
        EXPECT_EQ(adopted, c.expectedMerges) << c.name << ": the document takes what was written";
        // Document files start with the image record; pictures are read back by the codec.
        const bool native = IsNativeFilePath(path);
        EXPECT_EQ(FileText(path).substr(0, 4) == "QVIM", native) << c.name;
        if (!native) {
            CQvImage back;
            EXPECT_EQ(codec.Read(path.c_str(), &back, nullptr, 0, -1, -1), 1) << c.name;
        }
    }
}

TEST_F(SaveFixture, TheGridGoesIntoTheSavedPixelsOnlyWhenAskedFor)
{
    grid.show = 1;
    grid.type = G_CROSS;
    grid.ruler = 0;
    grid.pen.lopnColor = RGB(255, 0, 0);
    for (const uint8_t withGrid : {0, 1}) {
        grid.saveWithGrid = withGrid;
        const std::string path = Path("grid" + std::to_string(withGrid) + ".png");
        ASSERT_TRUE(SaveDocumentParts(parts, path, OverlayMergeRule::Never, 1, codec));
        CQvImage saved;
        ASSERT_EQ(codec.Read(path.c_str(), &saved, nullptr, 0, -1, -1), 1);
        const BYTE* centre = saved.GetPixel(20, 15);
        EXPECT_EQ(centre[2], withGrid ? 255 : 0);
        EXPECT_EQ(*image.GetPixel(20, 15), 0) << "the document keeps its clean image";
    }
    // A document file keeps the grid as settings: its pixels stay clean, or reopening would show the grid twice
    // with no way to take the burnt one away.
    const std::string path = Path("grid.qrx");
    ASSERT_TRUE(SaveDocumentParts(parts, path, OverlayMergeRule::Never, 1, codec));
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    CQvImage stored;
    CQvGObjectContainer storedOverlay;
    NativeFileRecord record;
    record.image = &stored;
    record.overlay = &storedOverlay;
    const int read = ReadNativeFile(file, record);
    std::fclose(file);
    ASSERT_EQ(read, 1);
    EXPECT_EQ(record.grid.show, 1);
    int burnt = 0;
    for (int y = 0; y < stored.GetHeight(); ++y)
        for (int x = 0; x < stored.GetWidth(); ++x)
            burnt += stored.GetPixel(x, y)[2] != 0;
    EXPECT_EQ(burnt, 0) << "the stored image is the clean one";
}

TEST_F(SaveFixture, AFailedMergedSaveLeavesTheDocumentAlone)
{
    ClickLine(overlay, canvas, CPoint(2, 2), CPoint(30, 20));
    EXPECT_FALSE(SaveDocumentParts(parts, Path("missing/merged.png"), OverlayMergeRule::AsPreferenceSays, 0, codec));
    EXPECT_EQ(merges, 1);
    EXPECT_EQ(adopted, 0) << "nothing was written, so the document must not take the merged image";
}

TEST_F(SaveFixture, AFailedSaveTellsTheUserAndLeavesTheEarlierFile)
{
    const std::string existing = Path("kept.qrx");
    std::ofstream(existing, std::ios::binary) << "earlier";
    EXPECT_FALSE(WriteFileAtomically(existing, [](FILE* f) {
        std::fputs("half a file", f);
        return false;
    }));
    EXPECT_EQ(FileText(existing), "earlier");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"kept.qrx"});

    for (const char* name : {"missing/a.qrx", "missing/a.png"}) {
        MessageBoxes().Reset();
        EXPECT_FALSE(SaveDocumentParts(parts, Path(name), OverlayMergeRule::Never, 1, codec)) << name;
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u) << name;
        EXPECT_NE(MessageBoxes().Boxes()[0].text.find(Path(name)), std::string::npos);
    }
    // A folder the user may not write to (root writes anywhere, so that part needs an ordinary user).
    if (::geteuid() != 0) {
        std::filesystem::create_directory(Path("locked"));
        std::ofstream(Path("locked/old.qrx")) << "earlier";
        std::filesystem::permissions(Path("locked"), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_exec);
        MessageBoxes().Reset();
        EXPECT_FALSE(SaveDocumentParts(parts, Path("locked/old.qrx"), OverlayMergeRule::Never, 1, codec));
        EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_EQ(FileText(Path("locked/old.qrx")), "earlier");
        std::filesystem::permissions(Path("locked"), std::filesystem::perms::owner_all);
    }
    // A good save over the earlier file replaces it whole.
    EXPECT_TRUE(SaveDocumentParts(parts, existing, OverlayMergeRule::Never, 1, codec));
    EXPECT_EQ(FileText(existing).substr(0, 4), "QVIM");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"kept.qrx"});
}
