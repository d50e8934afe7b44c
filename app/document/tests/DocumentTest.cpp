#include "document/CVistrelDoc.h"

#include "program/ProgramObjects.h"
#include "frame/CommandIds.h"
#include "profile/Registry.h"
#include "testing/MessageBoxRecorder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdlib.h>

using testing_support::MessageBoxes;

namespace {

bool Enabled(CVistrelDoc& doc, UINT id)
{
    CCmdUI ui(id);
    if (!doc.UpdateCommand(ui))
        return doc.HasCommandHandler(id);
    return ui.State().enabled;
}

class RecordingPlugInList : public IActivePlugInList
{
public:
    void RemoveFromActiveList(tagActiveApp* record) override { removed.push_back(record); }
    std::vector<tagActiveApp*> removed;
};

// The menu records the test records point at: run once and resident.
const tagPlgInfo4Client kRunOnceEntry{2024, "a.so", 1, 0, 0};
const tagPlgInfo4Client kResidentEntry{2025, "a.so", 0, 1, 0};

std::unique_ptr<tagActiveApp> Record(CPlgApplication* application, int runOnce)
{
    auto record = std::make_unique<tagActiveApp>();
    record->application = application;
    record->info = runOnce ? &kRunOnceEntry : &kResidentEntry;
    return record;
}

CPlgApplication* FakeApplication(int n)
{
    return reinterpret_cast<CPlgApplication*>(static_cast<uintptr_t>(0x1000 * n));
}

class DocumentTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        CVistrelDoc::SetFileHooks({});
        CVistrelDoc::SetActivePlugInList(nullptr);
    }
};

}  // namespace

TEST_F(DocumentTest, ANewDocumentCopiesTheProgramsCalibrationPreferencesAndGrid)
{
    QTemporaryDir root, config, runtime;
    setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
    RegReloadStore();
    const CCalibKeeper savedCurrent = *TheCalibrationList().GetCurrentCalibration();
    {
        ProgramObjects program({QStringLiteral("Vistrel"), QStringLiteral("--root"), root.path()}, "/opt/x/Vistrel");
        CCalibKeeper& current = *program.Calibrations().GetCurrentCalibration();
        current.SetName("Lens B");
        current.SetUnit(UNIT_MICROMETER);
        current.SetUnitsPerPixel(0.25);
        PreferenceSettings& preferences = program.Profile().preferences;
        preferences = {1, 0, 0, 1, 1, 5, 1, 0};
        program.Grid().Show(1);
        program.Grid().SetType(G_CIRCLES);
        program.Grid().SetGap(12.5f);

        CVistrelDoc doc;
        EXPECT_EQ(doc.GetCalibKeeper().GetName(), "Lens B");
        EXPECT_EQ(doc.GetCalibKeeper().GetUnitsPerPixel(), 0.25);
        EXPECT_EQ(doc.GetGObjectContainer().GetCalibKeeper(), &doc.GetCalibKeeper());
        // Changing the program's calibration later leaves the document's alone.
        current.SetUnitsPerPixel(2.0);
        EXPECT_EQ(doc.GetCalibKeeper().GetUnitsPerPixel(), 0.25);

        const PreferenceSettings& copy = doc.GetPreferences();
        EXPECT_EQ(copy.decimalPointRange, 5);
        EXPECT_EQ(copy.autoColor, 1);
        EXPECT_EQ(copy.displayData, 0);
        EXPECT_EQ(copy.displayName, 1);
        EXPECT_EQ(copy.displayRealtime, 1);
        EXPECT_EQ(copy.showScaleBar, 1);
        // The flatten choice is read from the program when saving, never from the copy.
        EXPECT_EQ(copy.saveImageFlatten, PreferenceSettings().saveImageFlatten);
        const CQvGObjectContainer& overlay = doc.GetGObjectContainer();
        EXPECT_EQ(overlay.GetDecimalPointRange(), 5);
        EXPECT_EQ(overlay.GetDisplayData(), 0);
        EXPECT_EQ(overlay.GetDisplayName(), 1);
        EXPECT_EQ(overlay.GetDisplayMark(), 0);
        EXPECT_EQ(overlay.GetDisplayRealtime(), 1);
        EXPECT_EQ(overlay.GetAutoChangeColorMode(), 1);
        EXPECT_EQ(doc.GetRegionContainer().GetAutoChangeColorMode(), 0);

        EXPECT_EQ(doc.GetLatticer().IsShow(), 1);
        EXPECT_EQ(doc.GetLatticer().GetType(), G_CIRCLES);
        EXPECT_EQ(doc.GetLatticer().GetGap(), 12.5f);
    }
    *TheCalibrationList().GetCurrentCalibration() = savedCurrent;
    RegReloadStore();
}

TEST_F(DocumentTest, UndoIsOfferedOnlyWhenThePoolCanUndoAndNoResidentPlugInHoldsIt)
{
    CVistrelDoc doc;
    CQvImage image;
    ASSERT_EQ(image.Create(QV_GRAY8, 4, 4, 0), 1);
    doc.SetImage("a", &image);
    EXPECT_FALSE(Enabled(doc, cmd::ID_EDIT_UNDO));

    ASSERT_EQ(doc.GetFramePool().PushImage(-1, -1, -1, -1), 1);
    doc.GetImage().GetBuffer()[0] = 200;
    EXPECT_TRUE(Enabled(doc, cmd::ID_EDIT_UNDO));

    // A resident plug-in on another document holds undo everywhere; one that runs once does not.
    CVistrelDoc other;
    other.AttachPlugIn(Record(FakeApplication(1), 1));
    EXPECT_TRUE(Enabled(doc, cmd::ID_EDIT_UNDO));
    other.AttachPlugIn(Record(FakeApplication(2), 0));
    EXPECT_TRUE(CVistrelDoc::PlugInHold());
    EXPECT_FALSE(Enabled(doc, cmd::ID_EDIT_UNDO));
    other.RemovePlugInView(FakeApplication(2));
    EXPECT_TRUE(Enabled(doc, cmd::ID_EDIT_UNDO));

    int undone = 0;
    QObject::connect(&doc, &CVistrelDoc::ImageUndone, [&] { ++undone; });
    doc.OnEditUndo();
    EXPECT_EQ(doc.GetImage().GetBuffer()[0], 0);
    EXPECT_EQ(undone, 1);
    EXPECT_FALSE(Enabled(doc, cmd::ID_EDIT_UNDO));
}

TEST_F(DocumentTest, CommandsOfTheLiveViewAndTheNeverOfferedOnes)
{
    CVistrelDoc doc;
    for (UINT id : {cmd::ID_FILE_SAVE, cmd::ID_FILE_SAVE_AS, cmd::ID_FILE_CLOSE, cmd::ID_FILE_PRINT})
        EXPECT_TRUE(Enabled(doc, id)) << id;
    doc.SetLive(true);
    for (UINT id : {cmd::ID_FILE_SAVE, cmd::ID_FILE_SAVE_AS, cmd::ID_FILE_CLOSE, cmd::ID_FILE_PRINT})
        EXPECT_FALSE(Enabled(doc, id)) << id;
    doc.SetLive(false);
    EXPECT_FALSE(Enabled(doc, cmd::ID_FILE_SEND_MAIL));
    EXPECT_FALSE(Enabled(doc, cmd::ID_EDIT_REDO));
}

TEST_F(DocumentTest, ClosingHandsEveryAttachedPlugInBackBeforeTheDocumentGoes)
{
    RecordingPlugInList manager;
    CVistrelDoc::SetActivePlugInList(&manager);
    CVistrelDoc doc, other;
    doc.AttachPlugIn(Record(FakeApplication(1), 0));
    doc.AttachPlugIn(Record(FakeApplication(2), 1));
    other.AttachPlugIn(Record(FakeApplication(3), 0));
    const std::vector<tagActiveApp*> records = {doc.ActivePlugIns()[0].get(), doc.ActivePlugIns()[1].get()};

    size_t removedAtClosing = 0;
    QObject::connect(&doc, &CVistrelDoc::Closing, [&] { removedAtClosing = manager.removed.size(); });
    doc.OnCloseDocument();
    EXPECT_EQ(removedAtClosing, 2u);
    EXPECT_EQ(manager.removed, records);
    EXPECT_TRUE(doc.ActivePlugIns().empty());
    // The other document's resident plug-in still holds: closing one document cannot release another's hold.
    EXPECT_TRUE(CVistrelDoc::PlugInHold());
    other.OnCloseDocument();
    EXPECT_FALSE(CVistrelDoc::PlugInHold());
}

TEST_F(DocumentTest, ADocumentDeletedWithoutACloseStillHandsItsPlugInsBack)
{
    RecordingPlugInList manager;
    CVistrelDoc::SetActivePlugInList(&manager);
    auto doc = std::make_unique<CVistrelDoc>();
    doc->AttachPlugIn(Record(FakeApplication(1), 0));
    doc->AttachPlugIn(Record(FakeApplication(2), 1));
    const std::vector<tagActiveApp*> records = {doc->ActivePlugIns()[0].get(), doc->ActivePlugIns()[1].get()};
    doc.reset();
    EXPECT_EQ(manager.removed, records);
}

TEST_F(DocumentTest, SaveModifiedAsksOnlyForAModifiedDocumentAndHonoursTheAnswer)
{
    int saves = 0;
    bool saveSucceeds = false;
    CVistrelDoc::SetFileHooks({[&](CVistrelDoc&, const std::string& path, const std::string&, std::string& saved) {
                                   ++saves;
                                   saved = path.empty() ? "/tmp/chosen.png" : path;
                                   return saveSucceeds;
                               },
                               {}});
    struct Case
    {
        bool modified;
        int answer;
        bool succeeds;
        bool expected;
        int expectedSaves;
    };
    const Case cases[] = {
        {false, IDYES, true, true, 0},    // unmodified: no question
        {true, IDCANCEL, true, false, 0},
        {true, IDNO, true, true, 0},
        {true, IDYES, false, false, 1},   // the save failed: closing stops
        {true, IDYES, true, true, 1},
    };
    for (const Case& c : cases) {
        MessageBoxes().Reset();
        saves = 0;
        saveSucceeds = c.succeeds;
        CVistrelDoc doc;
        doc.SetTitle("Sample-3");
        doc.SetModifiedFlag(c.modified);
        MessageBoxes().QueueAnswers({c.answer});
        EXPECT_EQ(doc.SaveModified(), c.expected) << c.answer;
        EXPECT_EQ(saves, c.expectedSaves);
        ASSERT_EQ(MessageBoxes().Boxes().size(), c.modified ? 1u : 0u);
        if (c.modified) {
            EXPECT_NE(MessageBoxes().Boxes()[0].text.find("Sample-3"), std::string::npos);
            EXPECT_EQ(MessageBoxes().Boxes()[0].type & MB_TYPEMASK, MB_YESNOCANCEL);
        }
        // A failed save leaves name and flag as they were; a good one clears the flag and takes the path.
        if (c.answer == IDYES && c.modified) {
            EXPECT_EQ(doc.IsModified(), !c.succeeds);
            EXPECT_EQ(doc.GetPathName(), c.succeeds ? "/tmp/chosen.png" : "");
            EXPECT_EQ(doc.GetTitle(), c.succeeds ? "chosen.png" : "Sample-3");
        }
    }
}

TEST_F(DocumentTest, ANamelessDocumentIsAskedAboutAsUntitledAndWithoutSaverTheSaveFails)
{
    CVistrelDoc doc;
    doc.SetModifiedFlag(true);
    MessageBoxes().QueueAnswers({IDYES});
    EXPECT_FALSE(doc.SaveModified());
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    const std::string& text = MessageBoxes().Boxes()[0].text;
    EXPECT_TRUE(text.find("Untitled") != std::string::npos || text.find("제목 없음") != std::string::npos) << text;
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, SaveAsOffersTheTitleAndAnnouncesTheNewName)
{
    std::string offered;
    CVistrelDoc::SetFileHooks({{}, [&](CVistrelDoc&, const std::string& proposed, std::string& saved) {
                                   offered = proposed;
                                   saved = "/data/b.tif";
                                   return true;
                               }});
    CVistrelDoc doc;
    doc.SetPathName("/data/a.png");
    doc.SetModifiedFlag(true);
    QString oldName, newName;
    QObject::connect(&doc, &CVistrelDoc::NameChanged, [&](const QString& o, const QString& n) {
        oldName = o;
        newName = n;
    });
    doc.OnFileSaveAs();
    EXPECT_EQ(offered, "a.png");
    EXPECT_EQ(doc.GetPathName(), "/data/b.tif");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(oldName, "/data/a.png");
    EXPECT_EQ(newName, "/data/b.tif");
}
