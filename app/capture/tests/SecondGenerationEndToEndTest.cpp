// The program folder as built, with the second-generation drivers' simulated board libraries beside them (loaded
// first by their paths, so the drivers' own look-up by name finds them): Select Device offers both boards, the
// chosen one shows live frames, and a capture keeps a frame of the board's size in a document.
#include "capture/tests/EventLoopWait.h"
#include "commands/AppCommands.h"
#include "core/tests/ProgramSessionFolders.h"
#include "document/CVistrelDoc.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "program/ProgramObjects.h"
#include "view/CVistrelView.h"

#include "flashbus/sim/FbusSimControl.h"
#include "module/CModule.h"
#include "qvimage/CQvImage.h"
#include "testing/MessageBoxRecorder.h"
#include "u2/sim/MvuSimControl.h"

#include <QDialog>
#include <QListWidget>
#include <gtest/gtest.h>

#include <string>

#if defined(VISTREL_PROGRAM_FOLDER) && defined(FBUS_SIM_LIBRARY) && defined(MVU_SIM_LIBRARY)

namespace {

constexpr int kWaitMs = 10000;

struct Board
{
    const char* label;
    const char* name;     // as Select Device offers it
    const char* library;  // the simulated board library
    int width, height;
    void (*prepare)(const CModule& library);
};

const Board kBoards[] = {
    {"FlashBus", "FlashBus MV", FBUS_SIM_LIBRARY, 640, 480,
     [](const CModule& library) { library.GetProc<FBUSSIM_ResetFunction>("FBUSSIM_Reset")(); }},
    {"U2", "Visix U2", MVU_SIM_LIBRARY, 640, 480,
     [](const CModule& library) {
         library.GetProc<MVUSIM_ResetFunction>("MVUSIM_Reset")();
         library.GetProc<MVUSIM_SetFreeRunningFunction>("MVUSIM_SetFreeRunning")(1);
     }},
};

void PrintTo(const Board& board, std::ostream* out)
{
    *out << board.label;
}

class SecondGenerationEndToEndTest : public ::testing::TestWithParam<Board>
{
protected:
    void SetUp() override
    {
        const Board& board = GetParam();
        ASSERT_TRUE(m_library.Load(board.library)) << m_library.GetLastError();
        board.prepare(m_library);
        ASSERT_TRUE(session.Enter());
        testing_support::MessageBoxes().Reset();
        program = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), session.root.path()},
            std::string(VISTREL_PROGRAM_FOLDER) + "/Vistrel");
        ASSERT_TRUE(program->App().InitInstance());
        frame = qobject_cast<CMainFrame*>(program->App().GetMainWnd()->Widget());
        ASSERT_NE(frame, nullptr);
        frame->show();
    }

    void TearDown() override
    {
        if (program) {
            program->AcquireHost().StopOverlay();
            program->App().ExitInstance();
            program.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        session.Leave();
    }

    CModule m_library;
    ProgramSessionFolders session;
    std::unique_ptr<ProgramObjects> program;
    CMainFrame* frame = nullptr;
};

TEST_P(SecondGenerationEndToEndTest, IsOfferedShowsLiveFramesAndACaptureKeepsAFrameOfItsSize)
{
    const Board& board = GetParam();
    IAcquireHost& host = program->AcquireHost();
    QStringList offered;
    testing_support::MessageBoxes().QueueModal([&](QDialog& chooser) {
        auto* list = chooser.findChild<QListWidget*>("serverList");
        ASSERT_NE(list, nullptr);
        for (int row = 0; row < list->count(); ++row)
            offered << list->item(row)->text();
        list->setCurrentRow(int(offered.indexOf(QString::fromLatin1(board.name))));
        chooser.accept();
    });
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_SELECT_DEVICE));
    EXPECT_TRUE(offered.contains(QStringLiteral("FlashBus MV"))) << offered.join(", ").toStdString();
    EXPECT_TRUE(offered.contains(QStringLiteral("Visix U2"))) << offered.join(", ").toStdString();
    ASSERT_EQ(host.IsSelected(), 1) << "the board opens";
    std::string server;
    host.GetCurrentServerName(server);
    EXPECT_EQ(server, board.name);
    int width = 0, height = 0;
    host.GetWidth(width);
    host.GetHeight(height);
    EXPECT_EQ(width, board.width);
    EXPECT_EQ(height, board.height);

    CVistrelView* live = program->App().FindLiveView();
    ASSERT_NE(live, nullptr);
    CVistrelDoc* liveDoc = live->GetDocument();
    ASSERT_TRUE(WaitUntil([&] { return live->LiveFramesShown() > 2; }, kWaitMs)) << "live frames arrive";

    ASSERT_TRUE(frame->Router().Query(cmd::ID_ACQ_CAPTURE).enabled);
    ASSERT_TRUE(frame->Router().Execute(cmd::ID_ACQ_CAPTURE));
    EXPECT_FALSE(liveDoc->IsLive());
    EXPECT_EQ(liveDoc->GetImage().GetWidth(), board.width);
    EXPECT_EQ(liveDoc->GetImage().GetHeight(), board.height);
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty())
        << testing_support::MessageBoxes().Boxes().front().text;
}

INSTANTIATE_TEST_SUITE_P(Boards, SecondGenerationEndToEndTest, ::testing::ValuesIn(kBoards),
    [](const ::testing::TestParamInfo<Board>& info) { return std::string(info.param.label); });

}  // namespace

#endif
