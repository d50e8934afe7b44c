#include "panels/CKPRExtMessageManager.h"
#include "panels/CKPRFootSwitch.h"
#include "testing/MessageBoxRecorder.h"
#include "ui/ModalDialog.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr uint8_t kPress = 0x00;
constexpr uint8_t kRelease = 0x01;
constexpr uint8_t kNone = kFootSwitchNoReport;

constexpr FootSwitchGuid kCapture = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};

FootSwitchGuid Id(uint8_t n)
{
    FootSwitchGuid id{};
    id.bytes[0] = n;
    return id;
}

// Qt does not fire a timer again while its own handler runs, but other timers and native ones do: the nested event
// loops below tick the poll timer by hand whenever it is running, as such a timer would.
void TickIfRunning(CKPRFootSwitch& footSwitch)
{
    auto* timer = footSwitch.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    if (timer->isActive())
        footSwitch.Poll();
}

// Lets the event loop (and the poll timer) run until `done` holds or a generous deadline passes, so a loaded
// machine only makes the test slower, never wrong.
bool RunUntil(const std::function<bool()>& done, int deadlineMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < deadlineMs)
        QTest::qWait(20);
    return done();
}

// A foot switch on the simulated pedal whose presses reach the message window, which counts its captures.
struct Pedal
{
    SimulatedFootSwitchTransport* transport = nullptr;
    std::unique_ptr<CKPRFootSwitch> footSwitch;
    CKPRExtMessageManager window;
    int captures = 0;
    int beeps = 0;
    std::function<void()> onCapture;

    explicit Pedal(std::vector<uint8_t> script)
    {
        auto sim = std::make_unique<SimulatedFootSwitchTransport>();
        sim->script = std::move(script);
        transport = sim.get();
        footSwitch = std::make_unique<CKPRFootSwitch>(std::move(sim));
        footSwitch->SetBeepFunction([this](DWORD hz, DWORD ms) {
            EXPECT_EQ(hz, 2000u);
            EXPECT_EQ(ms, 50u);
            ++beeps;
        });
        window.SetCaptureCommand([this] {
            ++captures;
            if (onCapture)
                onCapture();
        });
    }

    // Opens the switch and registers the capture target as the program's start-up does.
    bool Start()
    {
        const bool opened = footSwitch->Open();
        footSwitch->AddTarget(kCapture, window.CreateMessageWindow(), kFootSwitchMessage);
        footSwitch->SelectTarget(kCapture);
        return opened;
    }
};

TEST(FootSwitch, OnePressHeldOrNotTriggersOneCapture)
{
    Pedal pedal({kNone, kPress, kPress, kPress, kRelease, kNone, kPress});
    ASSERT_TRUE(pedal.Start());
    EXPECT_TRUE(pedal.footSwitch->IsPolling());
    EXPECT_EQ(pedal.transport->openedPath, "sim:footswitch0");
    for (int i = 0; i < 7; ++i)
        pedal.footSwitch->Poll();
    EXPECT_EQ(pedal.captures, 2);
    EXPECT_EQ(pedal.beeps, 2);
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty());

    // No report does not release: the pedal still held after it triggers nothing.
    Pedal held({kPress, kNone, kPress});
    held.Start();
    for (int i = 0; i < 3; ++i)
        held.footSwitch->Poll();
    EXPECT_EQ(held.captures, 1);
}

TEST(FootSwitch, OpeningFindsTheFirstSwitchOrStaysQuiet)
{
    Pedal several({});
    several.transport->devices = {"sim:a", "sim:b"};
    ASSERT_TRUE(several.Start());
    EXPECT_EQ(several.transport->openedPath, "sim:a");

    Pedal none({kPress});
    none.transport->devices.clear();
    EXPECT_FALSE(none.Start());
    EXPECT_FALSE(none.footSwitch->IsPolling());
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty());

    Pedal refused({kPress});
    refused.transport->failOpen = true;
    EXPECT_FALSE(refused.Start());
    EXPECT_FALSE(refused.footSwitch->IsPolling());
    ASSERT_EQ(testing_support::MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(testing_support::MessageBoxes().Boxes()[0].caption, "Failed to open Device");
    EXPECT_EQ(testing_support::MessageBoxes().Boxes()[0].type & MB_ICONERROR, MB_ICONERROR);
}

// The failure box runs an event loop of its own, as a real box does; the timer must not stack more boxes meanwhile.
TEST(FootSwitch, TransportFailureShowsOneMessageStopsPollingAndCloses)
{
    std::vector<MessageBoxRequest> boxes;
    Pedal pedal({kNone, kNone});
    SetMessageBoxHook([&boxes, &pedal](const MessageBoxRequest& request) {
        boxes.push_back(request);
        QTest::qWait(350);
        if (boxes.size() == 1)
            TickIfRunning(*pedal.footSwitch);
        return IDOK;
    });
    pedal.transport->failFrom = 2;
    ASSERT_TRUE(pedal.Start());
    EXPECT_TRUE(RunUntil([&] { return !boxes.empty() && !pedal.footSwitch->IsPolling(); }));
    // A few more would-be ticks: nothing further may happen.
    QTest::qWait(300);
    testing_support::MessageBoxes().Install();

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Failed to send USBIODS packet! Timer Disabled");
    EXPECT_EQ(boxes[0].text, "No such device");
    EXPECT_EQ(boxes[0].type & MB_ICONERROR, MB_ICONERROR);
    EXPECT_FALSE(pedal.footSwitch->IsPolling());
    EXPECT_FALSE(pedal.footSwitch->IsOpened());
    EXPECT_FALSE(pedal.transport->IsOpen());
    EXPECT_EQ(pedal.transport->closes, 1);
    EXPECT_EQ(pedal.transport->exchanges, 3);
    EXPECT_EQ(pedal.captures, 0);
}

// The capture runs a modal dialog that keeps the event loop (and with it the poll timer) going while pedal presses
// keep coming; none of them may start a capture inside the running one.
TEST(FootSwitch, CaptureWithModalDialogIsNotReentered)
{
    Pedal pedal({kPress, kRelease, kPress, kRelease, kPress, kRelease, kPress});
    int depth = 0, deepest = 0, exchangesDuringDialog = -1;
    pedal.onCapture = [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        if (pedal.captures == 1) {
            const int before = pedal.transport->exchanges;
            testing_support::MessageBoxes().QueueModal([&pedal](QDialog& dialog) {
                for (int i = 0; i < 3; ++i) {
                    QTest::qWait(150);
                    TickIfRunning(*pedal.footSwitch);
                }
                dialog.reject();
            });
            QDialog dialog;
            RunModal(dialog);
            exchangesDuringDialog = pedal.transport->exchanges - before;
        }
        --depth;
    };
    ASSERT_TRUE(pedal.Start());
    // Until the whole script has been read and the last capture has returned.
    EXPECT_TRUE(RunUntil([&] { return pedal.transport->exchanges >= 7 && depth == 0; }));

    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(exchangesDuringDialog, 0);
    // Polling resumes after the dialog: the later presses each capture once.
    EXPECT_EQ(pedal.captures, 4);
    EXPECT_TRUE(pedal.footSwitch->IsPolling());
}

TEST(FootSwitch, CurrentTargetIsKeptByItsId)
{
    Pedal pedal({kPress, kRelease, kPress, kRelease, kPress});
    ASSERT_TRUE(pedal.Start());
    int first = 0, duplicate = 0;

    FootSwitchTarget a;
    a.id = Id(0xA0);
    a.callback = [&first](int value) {
        EXPECT_EQ(value, 0);
        ++first;
    };
    pedal.footSwitch->AddTarget(a);
    FootSwitchTarget again = a;
    again.callback = [&duplicate](int) { ++duplicate; };
    pedal.footSwitch->AddTarget(again);  // the first record stays
    pedal.footSwitch->SelectTarget(a.id);
    // Enough further targets to move the records in memory.
    for (uint8_t n = 1; n < 40; ++n)
        pedal.footSwitch->AddTarget(Id(n), nullptr, 0);
    pedal.footSwitch->Poll();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(duplicate, 0);
    EXPECT_EQ(pedal.captures, 0);

    // An unknown id leaves the current target.
    pedal.footSwitch->SelectTarget(Id(0xEE));
    ASSERT_NE(pedal.footSwitch->CurrentTarget(), nullptr);
    pedal.footSwitch->Poll();
    pedal.footSwitch->Poll();
    EXPECT_EQ(first, 2);

    // A message window that is gone is not sent to.
    pedal.footSwitch->SelectTarget(kCapture);
    UnregisterMessageWindow(pedal.window.CreateMessageWindow());
    pedal.footSwitch->Poll();
    pedal.footSwitch->Poll();
    EXPECT_EQ(pedal.captures, 0);
}

TEST(FootSwitch, HidReportsMapToPedalStates)
{
    const uint8_t down[] = {0, 0, 0x05, 0, 0, 0, 0, 0};
    const uint8_t up[8] = {};
    EXPECT_EQ(FootSwitchStateFromReport(down, 8), kPress);
    EXPECT_EQ(FootSwitchStateFromReport(up, 8), kRelease);
    EXPECT_EQ(FootSwitchStateFromReport(up, 0), kNone);
}

TEST(FootSwitch, ThePedalsKeyboardInterfaceIsOpenedFirst)
{
    struct Case
    {
        std::vector<FootSwitchInterface> listed;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        // Mouse and vendor interfaces listed before the keyboard one.
        {{{"mouse", 0x01, 0x02, 1}, {"vendor", 0xff00, 0x01, 2}, {"keys", 0x01, 0x06, 0}},
         {"keys", "mouse", "vendor"}},
        // No usage told: the lowest interface number.
        {{{"if2", 0, 0, 2}, {"if0", 0, 0, 0}, {"if1", 0, 0, 1}}, {"if0", "if1", "if2"}},
        {{{"only", 0x01, 0x06, 0}}, {"only"}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OrderFootSwitchInterfaces(c.listed), c.order);
}

}  // namespace
