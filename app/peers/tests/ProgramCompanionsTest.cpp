#include "core/BusInstanceGate.h"
#include "program/ProgramObjects.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "peers/CompanionMailbox.h"
#include "peers/CompanionMessages.h"
#include "profile/Registry.h"
#include "testing/MessageBoxRecorder.h"
#include "winmsg/LocalPeerBus.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <stdlib.h>

using testing_support::MessageBoxes;

// A companion's quit request is a close: with a modified document the user is asked, and Cancel keeps the
// program, its window and the document.
TEST(ProgramCompanions, QuitRequestAsksAboutUnsavedDocumentsAsACloseDoes)
{
    QTemporaryDir root, config, runtime;
    setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
    RegReloadStore();
    const QString workingFolder = QDir::currentPath();
    const CCalibKeeper savedCurrent = *TheCalibrationList().GetCurrentCalibration();
    MessageBoxes().Install();
    MessageBoxes().Reset();
    {
        ProgramObjects program({QStringLiteral("Vistrel"), QStringLiteral("--root"), root.path()}, "/opt/x/Vistrel");
        CVistrelApp& app = program.App();
        ASSERT_TRUE(app.InitInstance());
        ASSERT_NE(program.Companions(), nullptr);
        CVistrelDoc* doc = app.NewDocument("Kept");
        doc->SetModifiedFlag(true);
        QWidget* window = app.GetMainWnd()->Widget();
        window->show();

        MessageBoxes().QueueAnswers({IDCANCEL});
        LocalPeerBus companion;
        const PeerReply reply = companion.SendMessage(QString::fromLatin1(kMainWindowClassName),
                                                      QString::fromLatin1(companion::kTlvCommand),
                                                      companion::kTlvQuit, 0);
        EXPECT_TRUE(reply.delivered);
        EXPECT_EQ(reply.result, 1);
        QElapsedTimer timer;
        timer.start();
        while (MessageBoxes().Boxes().empty() && timer.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(program.Documents().Documents(), std::vector<CVistrelDoc*>{doc});

        doc->SetModifiedFlag(false);
        EXPECT_EQ(app.ExitInstance(), 0);
    }
    MessageBoxes().Reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    *TheCalibrationList().GetCurrentCalibration() = savedCurrent;
    QDir::setCurrent(workingFolder);
    RegReloadStore();
}
