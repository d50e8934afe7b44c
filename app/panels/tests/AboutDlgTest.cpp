// The about box's texts: the version block and the string table by default, the owner texts of OEM/OEM.INI in the
// user's language when that file exists; the licence link only when the licence text is there.
#include "panels/CUIAboutDlg.h"

#include "core/CAppEnvironment.h"
#include "core/OemInfo.h"
#include "testing/RenderCheck.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AboutDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        program = Path("Vistrel");
        Write("Vistrel", "");
        Write("Vistrel.version",
              "[VersionInfo]\nFileVersion=4.5.0.123\nProductVersion=4.5.0.123\nTranslation=0409 04B0\n"
              "[StringFileInfo\\040904B0]\nProductName=Vistrel Test\nLegalCopyright=(c) Test Maker\n");
    }

    std::string Path(const std::string& name) const
    {
        return (folder.path() + "/" + QString::fromStdString(name)).toStdString();
    }
    void Write(const std::string& name, const std::string& bytes) const
    {
        QDir(folder.path()).mkpath(QString::fromStdString(Path(name)).section('/', 0, -2));
        QFile file(QString::fromStdString(Path(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    AboutBoxSources Sources(bool withOem, bool korean = false) const
    {
        AboutBoxSources sources;
        sources.programPath = program;
        sources.installFolder = folder.path().toStdString();
        sources.korean = korean;
        if (withOem) {
            CAppEnvironment environment;
            environment.Init(program);
            sources.oem = ReadOemInfo(environment);
        }
        return sources;
    }
    static QString Text(const QDialog& dialog, int id)
    {
        const auto* label = dialog.findChild<QLabel*>(QString::number(id));
        return label ? label->text() : QStringLiteral("<missing>");
    }

    QTemporaryDir folder;
    std::string program;
};

TEST_F(AboutDlgTest, ShowsTheVersionBlockAndTheProgramsOwnAddresses)
{
    CUIAboutDlg dialog(Sources(false));
    EXPECT_EQ(dialog.windowTitle(), "About Vistrel Test...");
    EXPECT_EQ(Text(dialog, CUIAboutDlg::kProductName), "Vistrel Test");
    EXPECT_EQ(Text(dialog, CUIAboutDlg::kVersion), "Version 4.5.0 (Build Number : 123)");
    EXPECT_EQ(Text(dialog, CUIAboutDlg::kCopyright), "(c) Test Maker");
    EXPECT_EQ(Text(dialog, CUIAboutDlg::kHomepage), "www.vistrel.example");
    EXPECT_EQ(Text(dialog, CUIAboutDlg::kEmailLink),
              "<a href=\"mailto:support@vistrel.example\">support@vistrel.example</a>");
    EXPECT_EQ(dialog.findChild<QLabel*>("6021")->toolTip(), "support@vistrel.example");
    EXPECT_FALSE(Text(dialog, CUIAboutDlg::kLegalNotice).isEmpty());
    // No licence text beside the program: the link is there but cannot be followed.
    EXPECT_FALSE(dialog.findChild<QLabel*>("6019")->isEnabled());
    EXPECT_EQ(dialog.Texts().licensePath, "");

    // OK closes the box; the system-information button does nothing.
    dialog.show();
    dialog.findChild<QPushButton*>("6024")->click();
    EXPECT_TRUE(dialog.isVisible());
    dialog.findChild<QPushButton*>("1")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(AboutDlgTest, LicenceLinkPointsToTheTextBesideTheProgram)
{
    Write("license.txt", "terms");
    CUIAboutDlg dialog(Sources(false));
    const QLabel* link = dialog.findChild<QLabel*>("6019");
    EXPECT_TRUE(link->isEnabled());
    EXPECT_TRUE(link->openExternalLinks());
    EXPECT_EQ(link->toolTip(), "End-User License Agreement");
    EXPECT_EQ(link->text(), "<a href=\"file://" + folder.path() + "/license.txt\">End-User License Agreement</a>");
}

TEST_F(AboutDlgTest, LicenceIsFoundInTheProgramRootLikeTheOwnersFolder)
{
    // Started with another root: the executable elsewhere, the licence and the owner's folder in the root.
    Write("license.txt", "terms");
    AboutBoxSources sources = Sources(false);
    sources.programPath = Path("bin/Vistrel");
    EXPECT_EQ(MakeAboutBoxTexts(sources).licensePath, Path("license.txt"));
    sources.installFolder.clear();
    EXPECT_EQ(MakeAboutBoxTexts(sources).licensePath, "") << "no root given: the executable's folder, which has none";
}

TEST_F(AboutDlgTest, OwnerTextsReplaceTheProductsInTheUsersLanguage)
{
    Write("OEM/OEM.INI",
          "[ENG]\ntitle=Scope One\ncopyright=(c) 2024 Maker\nemail=help@maker.example\n"
          "homepage=https://maker.example\naboutbox_title_url=title.png\n"
          "[KOR]\ntitle=한국 현미경\nemail=kor@maker.example\n");
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(QColor(0, 200, 0));
    ASSERT_TRUE(picture.save(QString::fromStdString(Path("OEM/title.png"))));

    CUIAboutDlg english(Sources(true));
    EXPECT_EQ(english.windowTitle(), "About Scope One ...");
    EXPECT_EQ(Text(english, CUIAboutDlg::kProductName), "Scope One");
    EXPECT_EQ(Text(english, CUIAboutDlg::kCopyright), "(c) 2024 Maker");
    EXPECT_EQ(Text(english, CUIAboutDlg::kHomepage), "https://maker.example");
    EXPECT_EQ(Text(english, CUIAboutDlg::kEmailLink), "<a href=\"mailto:help@maker.example\">help@maker.example</a>");
    // The version line still comes from the program's own block.
    EXPECT_EQ(Text(english, CUIAboutDlg::kVersion), "Version 4.5.0 (Build Number : 123)");
    const QImage shown = english.findChild<QLabel*>("6012")->pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(40, 20));
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(0, 200, 0));

    CUIAboutDlg korean(Sources(true, true));
    EXPECT_EQ(korean.windowTitle(), "About 한국 현미경 ...");
    EXPECT_EQ(Text(korean, CUIAboutDlg::kEmailLink), "<a href=\"mailto:kor@maker.example\">kor@maker.example</a>");
    // Keys the owner left out stay empty rather than mixing in the product's texts.
    EXPECT_EQ(Text(korean, CUIAboutDlg::kCopyright), "");
    // No picture named: the product picture stays.
    EXPECT_NE(korean.findChild<QLabel*>("6012")->pixmap().size(), QSize(40, 20));
}

// The owner's picture is outside bytes like any image: it reaches the dialog only through the codec's checks, never
// straight through Qt's loader, so a file they refuse (here a BMP cut in its pixels, which Qt would show half
// filled) leaves the product picture.
TEST_F(AboutDlgTest, OwnersPictureGoesThroughTheCodecsChecks)
{
    Write("OEM/OEM.INI", "[ENG]\ntitle=Scope One\naboutbox_title_url=title.bmp\n");
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(QColor(0, 200, 0));
    ASSERT_TRUE(picture.save(QString::fromStdString(Path("OEM/title.bmp"))));
    {
        CUIAboutDlg whole(Sources(true));
        EXPECT_EQ(whole.findChild<QLabel*>("6012")->pixmap().size(), QSize(40, 20));
    }
    QFile file(QString::fromStdString(Path("OEM/title.bmp")));
    ASSERT_TRUE(file.resize(file.size() - 200));
    CUIAboutDlg cut(Sources(true));
    EXPECT_NE(cut.findChild<QLabel*>("6012")->pixmap().size(), QSize(40, 20));
}

TEST_F(AboutDlgTest, ScreenshotForReview)
{
    Write("license.txt", "terms");
    CUIAboutDlg dialog(Sources(false));
    dialog.show();
    const QImage shot = dialog.grab().toImage();
    EXPECT_GT(shot.width(), 200);
    QDir().mkpath(testing_support::FailureImageFolder());
    EXPECT_TRUE(shot.save(testing_support::FailureImageFolder() + "/about-box.png"));
}

}  // namespace
