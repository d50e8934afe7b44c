// Test main for every module: one QApplication for the whole run (offscreen unless the caller chose a platform),
// numbers in the C locale as in the program, and every modal prompt answered by the recorder, reset before each test.
#include "MessageBoxRecorder.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

class ResetPromptsBeforeEachTest : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { testing_support::MessageBoxes().Reset(); }
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    testing_support::MessageBoxes().Install();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetPromptsBeforeEachTest);
    return RUN_ALL_TESTS();
}
