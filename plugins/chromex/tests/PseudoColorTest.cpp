// The pseudo colour dialog driven through its widgets, without showing it.
#include "chromex/ChromexStrings.h"
#include "chromex/PaletteFile.h"
#include "chromex/PseudoColorDlg.h"

#include "testing/ImageBytes.h"

#include "testing/MessageBoxRecorder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>

using namespace chromex;
using namespace image_bytes;
using testing_support::MessageBoxes;

namespace {

class PseudoColorDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        MessageBoxes().Reset();
    }
    void TearDown() override { MessageBoxes().Reset(); }

    std::unique_ptr<CPseudoColorDlg> Open()
    {
        return std::make_unique<CPseudoColorDlg>(m_image, [this] { ++m_repaints; }, m_folder.path().toStdString(),
                                                 7u);
    }
    template <class T>
    static T* Child(QDialog& dialog, const char* name)
    {
        T* child = dialog.findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    QTemporaryDir m_folder;
    CQvImage m_image = MakeImage(QV_GRAY8, 3, 1, {0, 10, 255});
    int m_repaints = 0;
};

TEST_F(PseudoColorDialog, WithoutPaletteFilesTheRampsAreListedAndTheFirstIsShown)
{
    auto dialog = Open();
    QComboBox* list = Child<QComboBox>(*dialog, "2003");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), "Red to Blue");
    EXPECT_EQ(list->itemText(1), "Blue to Red");
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(m_image.GetColorModel(), QV_RGB24);
    EXPECT_EQ(Bytes(m_image), (std::vector<int>{0, 0, 255, 10, 0, 245, 255, 0, 0}));
    EXPECT_EQ(m_repaints, 1);
    list->setCurrentIndex(1);
    EXPECT_EQ(Bytes(m_image), (std::vector<int>{255, 0, 0, 245, 0, 10, 0, 0, 255}));
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
    QSpinBox* interval = Child<QSpinBox>(*dialog, "2005");
    EXPECT_EQ(interval->minimum(), 1);
    EXPECT_EQ(interval->maximum(), 10);
    EXPECT_EQ(Child<QLineEdit>(*dialog, "2004")->text(), "1");
    EXPECT_TRUE(Child<QLineEdit>(*dialog, "2004")->isReadOnly());
}

TEST_F(PseudoColorDialog, PaletteFilesComeFirstAndARefusedOneIsNamedOnce)
{
    PseudoColorPalette palette;
    palette.name = "Sepia";
    palette.entries.fill(77);
    std::ofstream(m_folder.filePath("sepia.pcu").toStdString(), std::ios::binary) << WritePalette(palette);
    std::ofstream(m_folder.filePath("bad.pcu").toStdString(), std::ios::binary) << "Bad\n0\t1\t2\n";
    auto dialog = Open();
    QComboBox* list = Child<QComboBox>(*dialog, "2003");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), "Sepia");
    EXPECT_EQ(Bytes(m_image), std::vector<int>(9, 77));
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_NE(MessageBoxes().Boxes()[0].text.find("bad.pcu"), std::string::npos);
}

TEST_F(PseudoColorDialog, PrevWorksOnceAfterTwoRandomTables)
{
    auto dialog = Open();
    QPushButton* prev = Child<QPushButton>(*dialog, "2007");
    QPushButton* single = Child<QPushButton>(*dialog, "2002");
    EXPECT_FALSE(prev->isEnabled());
    single->click();
    const std::vector<int> first = Bytes(m_image);
    EXPECT_TRUE(prev->isEnabled());
    single->click();
    EXPECT_NE(Bytes(m_image), first);
    prev->click();
    EXPECT_EQ(Bytes(m_image), first);
    EXPECT_FALSE(prev->isEnabled());
}

TEST_F(PseudoColorDialog, PlayRunsTheTimerAtTheChosenIntervalAndEachTickMakesATable)
{
    auto dialog = Open();
    QPushButton* play = Child<QPushButton>(*dialog, "2006");
    Child<QSpinBox>(*dialog, "2005")->setValue(3);
    QTimer* timer = dialog->PlayTimer();
    EXPECT_EQ(timer->objectName(), "500");
    EXPECT_EQ(play->text(), "Play");
    play->click();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 3000);
    EXPECT_EQ(play->text(), "Stop");
    const std::vector<int> before = Bytes(m_image);
    const int repaints = m_repaints;
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    EXPECT_NE(Bytes(m_image), before);
    EXPECT_EQ(m_repaints, repaints + 1);
    EXPECT_TRUE(Child<QPushButton>(*dialog, "2007")->isEnabled());
    play->click();
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(play->text(), "Play");
}

}  // namespace
