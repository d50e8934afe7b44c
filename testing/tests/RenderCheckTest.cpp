// The drawing comparison itself: a failing comparison writes its images into the build tree, wherever the test runs
// from, and never into the working folder or the sources.
#include "RenderCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using testing_support::BlankSurface;
using testing_support::FailureImageFolder;
using testing_support::ImagesMatch;

namespace {

// Runs from a scratch working folder with the output variable set as given (unset for nothing), and puts both
// back afterwards.
class RenderCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_workingFolder.isValid());
        m_savedWorkingFolder = QDir::currentPath();
        QDir::setCurrent(m_workingFolder.path());
        if (const char* value = std::getenv("VISTREL_TEST_OUTPUT_DIR"))
            m_savedOutput = value;
    }
    void TearDown() override
    {
        QDir::setCurrent(m_savedWorkingFolder);
        if (m_savedOutput)
            setenv("VISTREL_TEST_OUTPUT_DIR", m_savedOutput->c_str(), 1);
        else
            unsetenv("VISTREL_TEST_OUTPUT_DIR");
    }

    // Compares two images that differ in one pixel, which must fail.
    static void FailOnePixel(const QString& name)
    {
        QImage actual = BlankSurface(8, 6);
        actual.setPixel(3, 2, 0xFF000000);
        const ::testing::AssertionResult result = ImagesMatch(actual, BlankSurface(8, 6), name);
        EXPECT_FALSE(result);
        EXPECT_NE(std::string(result.message()).find("1 pixels differ"), std::string::npos) << result.message();
    }

    QTemporaryDir m_workingFolder;

private:
    QString m_savedWorkingFolder;
    std::optional<std::string> m_savedOutput;
};

}  // namespace

TEST_F(RenderCheck, AFailedComparisonWritesBothImagesIntoTheBuildTreeNotTheWorkingFolder)
{
    unsetenv("VISTREL_TEST_OUTPUT_DIR");
    const QString name = "render-check-deliberate-failure";
    const QDir folder(FailureImageFolder());
    QFile::remove(folder.filePath(name + "-actual.png"));
    QFile::remove(folder.filePath(name + "-expected.png"));

    FailOnePixel(name);
    EXPECT_TRUE(folder.absolutePath().startsWith(QStringLiteral(VISTREL_BUILD_DIR "/")))
        << folder.absolutePath().toStdString();
    const QImage saved(folder.filePath(name + "-actual.png"));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.pixel(3, 2) & 0xFFFFFF, 0u);
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(name + "-expected.png")));
    EXPECT_TRUE(QDir(m_workingFolder.path()).isEmpty());
    if (const char* sources = std::getenv("VISTREL_SOURCE_DIR")) {
        EXPECT_FALSE(QFileInfo::exists(QDir(sources).filePath(name + "-actual.png")));
    }
    QFile::remove(folder.filePath(name + "-actual.png"));
    QFile::remove(folder.filePath(name + "-expected.png"));
}

TEST_F(RenderCheck, TheOutputFolderCanBeChosenAndIsCreatedWhenMissing)
{
    QTemporaryDir output;
    ASSERT_TRUE(output.isValid());
    const QString folder = output.path() + "/nested/images";
    setenv("VISTREL_TEST_OUTPUT_DIR", folder.toLocal8Bit().constData(), 1);
    FailOnePixel("chosen");
    EXPECT_TRUE(QFileInfo::exists(folder + "/chosen-actual.png"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/chosen-expected.png"));
    EXPECT_TRUE(QDir(m_workingFolder.path()).isEmpty());
}

TEST_F(RenderCheck, MatchingImagesWriteNothing)
{
    QTemporaryDir output;
    ASSERT_TRUE(output.isValid());
    setenv("VISTREL_TEST_OUTPUT_DIR", output.path().toLocal8Bit().constData(), 1);
    EXPECT_TRUE(ImagesMatch(BlankSurface(8, 6), BlankSurface(8, 6), "same"));
    QImage oneOff = BlankSurface(8, 6);
    oneOff.setPixel(0, 0, 0xFF000000);
    EXPECT_TRUE(ImagesMatch(oneOff, BlankSurface(8, 6), "within-budget", 1));
    EXPECT_TRUE(QDir(output.path()).isEmpty());
}
