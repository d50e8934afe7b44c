// The program speaks one language per session: started with an English version block, no menu, toolbar, dock,
// status pane, dialog, property page, plug-in dialog or message holds Hangul; started with a Korean one, the
// program's own Korean texts are what the user reads.
#include "calibration/CCalibrationOrderDlg.h"
#include "calibration/CCalibrationSetDlg.h"
#include "calibration/CCalibrationZoomDlg.h"
#include "calibration/CLengthCalibrationDlg.h"
#include "calibration/CManualCalibrationDlg.h"
#include "calibration/CValueInputDlg.h"
#include "capture/CaptureDialogs.h"
#include "core/CCalibrationList.h"
#include "program/FrameMainWindow.h"
#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"
#include "dialogs/CPreferencesDlg.h"
#include "document/CNewImageDlg.h"
#include "document/CVistrelDoc.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/CommandInfo.h"
#include "frame/CommandRouter.h"
#include "panels/CUIAboutDlg.h"
#include "panels/CthumbNameDlg.h"
#include "report/CResultBackupDlg.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/ui/CObjScaleMarkerPage.h"
#include "gobjects/ui/CObjectCommonProperty.h"
#include "gobjects/ui/CObjectDisplayValueProperty.h"
#include "gobjects/ui/CObjectPropertyAngle.h"
#include "gobjects/ui/CObjectPropertyImage.h"
#include "gobjects/ui/CObjectPropertyTarget.h"
#include "latticer/CGridDlg.h"
#include "latticer/CLatticer.h"
#include "qvimage/CQvImage.h"
#include "resources/StringTable.h"
#include "resources/UiLanguage.h"
#include "testing/MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Hangul syllables and letters.
bool HasHangul(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x1100 && u <= 0x11FF) || (u >= 0x3130 && u <= 0x318F))
            return true;
    }
    return false;
}

}  // namespace

#ifdef VISTREL_PROGRAM_FOLDER

using testing_support::MessageBoxes;

namespace {

// Every text a user can read, with where it was found.
class ShownTexts
{
public:
    void Add(const QString& where, const QString& text)
    {
        if (!text.isEmpty())
            m_texts.push_back({where, text});
    }

    // The widget and everything inside it: titles, captions, tips, items and header labels.
    void Widget(QWidget* root, const QString& where)
    {
        std::vector<QWidget*> widgets{root};
        for (QWidget* child : root->findChildren<QWidget*>())
            widgets.push_back(child);
        for (QWidget* w : widgets) {
            const QString at = where + "/" + w->metaObject()->className() + "(" + w->objectName() + ")";
            Add(at + ".windowTitle", w->windowTitle());
            Add(at + ".toolTip", w->toolTip());
            Add(at + ".statusTip", w->statusTip());
            if (auto* label = qobject_cast<QLabel*>(w))
                Add(at + ".text", label->text());
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                Add(at + ".text", button->text());
            if (auto* group = qobject_cast<QGroupBox*>(w))
                Add(at + ".title", group->title());
            if (auto* combo = qobject_cast<QComboBox*>(w))
                for (int i = 0; i < combo->count(); ++i)
                    Add(at + ".item", combo->itemText(i));
            if (auto* tabs = qobject_cast<QTabBar*>(w))
                for (int i = 0; i < tabs->count(); ++i)
                    Add(at + ".tab", tabs->tabText(i));
            if (auto* tabs = qobject_cast<QTabWidget*>(w))
                for (int i = 0; i < tabs->count(); ++i)
                    Add(at + ".tab", tabs->tabText(i));
            if (auto* list = qobject_cast<QListWidget*>(w))
                for (int i = 0; i < list->count(); ++i)
                    Add(at + ".item", list->item(i)->text());
            if (auto* tree = qobject_cast<QTreeWidget*>(w))
                for (int i = 0; i < tree->topLevelItemCount(); ++i)
                    Add(at + ".item", tree->topLevelItem(i)->text(0));
            if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model())
                for (int column = 0; column < view->model()->columnCount(); ++column)
                    Add(at + ".header", view->model()->headerData(column, Qt::Horizontal).toString());
            for (QAction* action : w->actions())
                Action(action, at);
        }
    }

    // The action and, when it opens a menu, that menu after its update handlers ran.
    void Action(QAction* action, const QString& where)
    {
        if (!m_actions.insert(action).second)
            return;
        const QString at = where + "/action(" + action->data().toString() + ")";
        Add(at + ".text", action->text());
        Add(at + ".toolTip", action->toolTip());
        Add(at + ".statusTip", action->statusTip());
        if (QMenu* menu = action->menu()) {
            emit menu->aboutToShow();
            Add(at + ".title", menu->title());
            for (QAction* item : menu->actions())
                Action(item, at);
        }
    }

    // The texts that hold Hangul, one line each.
    std::string Korean() const
    {
        std::string found;
        for (const auto& [where, text] : m_texts)
            if (HasHangul(text))
                found += (where + ": " + text + "\n").toStdString();
        return found;
    }

    bool Contains(const QString& text) const
    {
        for (const auto& shown : m_texts)
            if (shown.second == text)
                return true;
        return false;
    }

    size_t Count() const { return m_texts.size(); }

private:
    std::vector<std::pair<QString, QString>> m_texts;
    std::set<QAction*> m_actions;
};

// Builds a dialog or page, lets it fill itself as it does when it opens, and takes its texts. Nothing is shown.
template <class W>
void Collect(ShownTexts& texts, std::unique_ptr<W> widget, const QString& where)
{
    QShowEvent opening;
    QApplication::sendEvent(widget.get(), &opening);
    texts.Widget(widget.get(), where);
}

class UiLanguageTest : public ::testing::TestWithParam<LANGID>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_session.Enter());
        MessageBoxes().Reset();
        // The language comes from the program's version block: a program file of its own with that block, beside
        // the modules of the built program.
        const std::filesystem::path folder = m_session.root.path().toStdString() + "/program";
        std::filesystem::create_directories(folder);
        std::filesystem::create_directory_symlink(std::string(VISTREL_PROGRAM_FOLDER) + "/components",
                                                  folder / "components");
        m_program = (folder / "Vistrel").string();
        QFile(QString::fromStdString(m_program)).open(QIODevice::WriteOnly);
        QFile version(QString::fromStdString(m_program + ".version"));
        ASSERT_TRUE(version.open(QIODevice::WriteOnly));
        version.write(GetParam() == UI_LANGUAGE_KOREAN ? "[VersionInfo]\nTranslation=0412 04B0\n"
                                                       : "[VersionInfo]\nTranslation=0409 04B0\n");
        version.close();

        m_objects = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_session.root.path()}, m_program);
        ASSERT_TRUE(m_objects->App().InitInstance());
        ASSERT_EQ(GetUiLanguage(), GetParam());
        Frame().resize(1200, 900);
        QApplication::processEvents();
    }

    void TearDown() override
    {
        if (m_objects) {
            m_objects->App().ExitInstance();
            m_objects.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_session.Leave();
        MessageBoxes().Reset();
        SetUiLanguage(UI_LANGUAGE_ENGLISH);
    }

    CMainFrame& Frame() { return static_cast<FrameMainWindow*>(m_objects->App().GetMainWnd())->Frame(); }

    CVistrelDoc* OpenDocument()
    {
        CVistrelDoc* doc = m_objects->App().NewDocument("picture");
        CQvImage image;
        image.Create(QV_RGB24, 120, 80, 0);
        doc->SetImage("picture", &image);
        QApplication::processEvents();
        return doc;
    }

    // The frame: its menus (update handlers run), toolbars, docks, status bar and everything else in it.
    void WalkFrame(ShownTexts& texts)
    {
        for (QAction* menu : Frame().menuBar()->actions())
            texts.Action(menu, "menu");
        texts.Widget(&Frame(), "frame");
    }

    // Every dialog and property page the program, Figuron and Latticer make, built and filled but never shown.
    void WalkDialogs(ShownTexts& texts, CVistrelDoc& doc)
    {
        CCalibrationList& list = TheCalibrationList();
        CVistrelView& view = *doc.GetImageView();
        Collect(texts, std::make_unique<CCalibrationSetDlg>(list, m_session.root.path().toStdString()), "manager");
        Collect(texts, std::make_unique<CCalibrationOrderDlg>(list), "order");
        Collect(texts, std::make_unique<CManualCalibrationDlg>(list, *list.GetCurrentCalibration()), "naming");
        Collect(texts, std::make_unique<CLengthCalibrationDlg>(view, nullptr, list), "length");
        Collect(texts, std::make_unique<CCalibrationZoomDlg>(nullptr), "zoom");
        for (auto mode : {CValueInputDlg::kName, CValueInputDlg::kMagnification, CValueInputDlg::kUnitsPerPixel})
            Collect(texts, std::make_unique<CValueInputDlg>(mode, "1"), "input");
        Collect(texts, std::make_unique<CResizeCaptureDlg>(), "resizeCapture");
        Collect(texts, std::make_unique<CMultiCaptureDlg>(), "multiCapture");
        Collect(texts, std::make_unique<CCaptureSettingDlg>(), "captureSettings");
        Collect(texts, std::make_unique<CPreferencesDlg>(PreferenceSettings{}), "preferences");
        Collect(texts, std::make_unique<CNewImageDlg>(), "newImage");
        Collect(texts, std::make_unique<CResultBackupDlg>(), "backup");
        Collect(texts, std::make_unique<CthumbNameDlg>("picture", GetUiLanguage()), "rename");
        AboutBoxSources about;
        about.programPath = m_program;
        Collect(texts, std::make_unique<CUIAboutDlg>(about), "about");
        CLatticer grid;
        Collect(texts, std::make_unique<CGridDlg>(nullptr, &grid), "grid");
        Collect(texts, std::make_unique<CObjectCommonProperty>(), "commonPage");
        Collect(texts, std::make_unique<CObjectDisplayValueProperty>(), "valuePage");
        Collect(texts, std::make_unique<CObjectPropertyAngle>(), "anglePage");
        Collect(texts, std::make_unique<CObjectPropertyImage>(), "imagePage");
        Collect(texts, std::make_unique<CObjectPropertyTarget>(), "targetPage");
        Collect(texts, std::make_unique<CObjScaleMarkerPage>(), "scaleMarkerPage");
    }

    // Runs every plug-in command on the document; a dialog one opens is read and cancelled.
    void WalkPlugIns(ShownTexts& texts)
    {
        std::vector<UINT> commands;
        for (QAction* group : Frame().PluginMenu()->actions())
            if (group->menu())
                for (QAction* entry : group->menu()->actions())
                    commands.push_back(entry->data().toUInt());
        ASSERT_FALSE(commands.empty()) << "the plug-ins of the program folder were loaded";
        for (UINT command : commands) {
            MessageBoxes().QueueModal([&texts, command](QDialog& dialog) {
                texts.Widget(&dialog, QString("plug-in %1").arg(command));
                dialog.reject();
            });
            Frame().Router().Execute(command);
            QApplication::processEvents();
        }
    }

    ProgramSessionFolders m_session;
    std::string m_program;
    std::unique_ptr<ProgramObjects> m_objects;
};

TEST_P(UiLanguageTest, EveryShownTextIsInTheSessionsLanguage)
{
    CVistrelDoc* doc = OpenDocument();
    ShownTexts texts;
    WalkFrame(texts);
    WalkDialogs(texts, *doc);
    WalkPlugIns(texts);
    for (const MessageBoxRequest& box : MessageBoxes().Boxes()) {
        texts.Add("message box", QString::fromStdString(box.text));
        texts.Add("message box caption", QString::fromStdString(box.caption));
    }
    ASSERT_GT(texts.Count(), 300u) << "the walk reached the program's windows";

    if (GetParam() == UI_LANGUAGE_ENGLISH) {
        EXPECT_EQ(texts.Korean(), "") << "texts of an English session that hold Hangul";
        for (const char* english : {"&File", "&Calibration", "None", "Pixel", "Calibration Manager", "Preferences",
                                    "Manual Calibration", "Mouse Position", "Measurement Tools", "Object Display"})
            EXPECT_TRUE(texts.Contains(QString::fromUtf8(english))) << english;
        return;
    }
    // The program's own Korean: menus, the calibration boxes, the status bar, docks and dialogs.
    for (const char* korean : {"파일(&F)", "교정(&C)", "불러오기(&O)", "없음", "픽셀", "교정 관리자", "환경설정",
                               "수동 교정", "마우스 위치", "측정 도구", "개체 표시", "이름 변경", "스케일 기본값 :",
                               "확인", "교정명 순서바꾸기", "새로 만들기"})
        EXPECT_TRUE(texts.Contains(QString::fromUtf8(korean))) << korean;
}

INSTANTIATE_TEST_SUITE_P(Sessions, UiLanguageTest, ::testing::Values(UI_LANGUAGE_ENGLISH, UI_LANGUAGE_KOREAN),
                         [](const ::testing::TestParamInfo<LANGID>& info) {
                             return info.param == UI_LANGUAGE_KOREAN ? std::string("Korean")
                                                                     : std::string("English");
                         });

}  // namespace

#endif  // VISTREL_PROGRAM_FOLDER

// Every text of every string table loaded in this test program: an English text never holds Hangul, and every
// command of the menus and toolbars has a caption in both languages.
TEST(ProgramStringTables, EnglishTextsHoldNoHangulAndEveryCommandHasBothCaptions)
{
    std::string korean;
    size_t count = 0;
    for (const RegisteredString& entry : RegisteredStrings()) {
        ++count;
        if (HasHangul(QString::fromStdString(entry.english)))
            korean += entry.module + " " + std::to_string(entry.id) + ": " + entry.english + "\n";
    }
    EXPECT_GT(count, 200u);
    EXPECT_EQ(korean, "");

    for (const auto& table : {FrameCommandTable(), ApplicationCommandTable(), DocumentCommandTable(), ViewCommandTable()})
        for (const CommandInfo& info : table) {
            const std::string english = CommandCaption(info, UI_LANGUAGE_ENGLISH);
            const std::string inKorean = CommandCaption(info, UI_LANGUAGE_KOREAN);
            EXPECT_FALSE(english.empty()) << info.stringId;
            EXPECT_FALSE(HasHangul(QString::fromStdString(english))) << info.stringId;
            EXPECT_FALSE(inKorean.empty()) << info.stringId;
        }
}
