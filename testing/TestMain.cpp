// Test main for every module: one QApplication for the whole run (offscreen unless the caller chose a platform),
// numbers in the C locale as in the program, and every modal prompt answered by the recorder, reset before each test.
// A dialog that escapes the hooks and waits on screen fails its test and is closed, instead of hanging the run.
#include "testing/MessageBoxRecorder.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

class ResetPromptsBeforeEachTest : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { testing_support::MessageBoxes().Reset(); }
};

// Ticks only while an event loop runs (a dialog's exec(), processEvents). A modal window that is still the same one a
// whole tick later was not run through RunModal, or was left open: the test fails and the window is closed.
class ModalWatchdog
{
public:
    ModalWatchdog()
    {
        m_timer.setInterval(2000);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.start();
    }

private:
    void Tick()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal != m_lastSeen) {
            m_lastSeen = modal;
            return;
        }
        ADD_FAILURE() << "a modal window (" << modal->metaObject()->className() << " \""
                      << modal->windowTitle().toStdString()
                      << "\") waited on screen: every dialog runs through RunModal, which tests answer";
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        m_lastSeen = nullptr;
    }

    QTimer m_timer;
    QPointer<QWidget> m_lastSeen;
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    // What a test leaves in the user's state folder (markers of modules being loaded, say) would reach the user's
    // own program: every run keeps its state apart. Tests that want a state folder of their own set it themselves.
    const QTemporaryDir state;
    if (state.isValid())
        setenv("XDG_STATE_HOME", state.path().toUtf8().constData(), 1);
    testing_support::MessageBoxes().Install();
    const ModalWatchdog watchdog;
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetPromptsBeforeEachTest);
    return RUN_ALL_TESTS();
}
