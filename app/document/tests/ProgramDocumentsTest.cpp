#include "program/ProgramObjects.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "profile/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdlib.h>

TEST(ProgramDocuments, APathGivenAtStartOpensAndTheApplicationSeesItsDocuments)
{
    QTemporaryDir root, config, runtime, files;
    setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
    RegReloadStore();
    const QString workingFolder = QDir::currentPath();
    const CCalibKeeper savedCurrent = *TheCalibrationList().GetCurrentCalibration();
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(9, 8, 7));
    const QString path = files.filePath("start.png");
    ASSERT_TRUE(picture.save(path, "PNG"));
    {
        ProgramObjects program(
            {QStringLiteral("Vistrel"), QStringLiteral("--root"), root.path(), QStringLiteral("--open"), path},
            "/opt/x/Vistrel");
        CVistrelApp& app = program.App();
        ASSERT_TRUE(app.InitInstance());
        CVistrelDoc* doc = app.GetActiveDocument();
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->GetPathName(), path.toStdString());
        EXPECT_EQ(program.Documents().Documents(), std::vector<CVistrelDoc*>{doc});

        CVistrelDoc* blank = app.NewDocument("Blank");
        ASSERT_NE(blank, nullptr);
        EXPECT_EQ(app.GetActiveDocument(), blank);
        const std::vector<OpenTitleEntry> titles = app.GetOpenTitles();
        ASSERT_EQ(titles.size(), 2u);
        EXPECT_EQ(titles[0].title, "Blank");
        EXPECT_EQ(titles[1].title, "start.png");
        EXPECT_EQ(titles[1].image.size(), QSize(3, 2));
        EXPECT_EQ(titles[1].image.pixel(0, 0), qRgb(9, 8, 7));
        EXPECT_EQ(app.FindLiveView(), nullptr);
        EXPECT_FALSE(CVistrelDoc::PlugInHold());
        EXPECT_EQ(app.ExitInstance(), 0);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    *TheCalibrationList().GetCurrentCalibration() = savedCurrent;
    QDir::setCurrent(workingFolder);
    RegReloadStore();
}
