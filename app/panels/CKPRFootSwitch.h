// The USB foot switch: polls its device every 100 ms on the UI thread and, on each new press, beeps and hands the
// press to the current target (its callback, else its message sent to its window). One trigger per press however
// long the pedal is held. The poll is stopped while a trigger runs, so a capture that opens a dialog is never entered
// again by a press during it. A device failure stops polling, closes the device and then shows one message; the
// program goes on without the switch. No switch present is silent. UI thread.
#pragma once

#include "core/AppSeams.h"
#include "panels/FootSwitchTransport.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct FootSwitchTarget
{
    FootSwitchGuid id{};
    std::function<void(int)> callback;  // called with 0; may be empty
    void* window = nullptr;             // a handle of MessageWindows.h
    UINT message = 0;
};

class CKPRFootSwitch : public QObject, public IFootSwitch
{
public:
    static constexpr int kPollTimerId = 39910;
    static constexpr int kPollIntervalMs = 100;

    explicit CKPRFootSwitch(std::unique_ptr<IFootSwitchTransport> transport);
    ~CKPRFootSwitch() override;

    // Empties the targets, opens the first switch listed and starts polling. False when no switch is present
    // (quietly) or it cannot be opened (with a message).
    bool Open() override;
    void AddTarget(const FootSwitchGuid& guid, void* window, UINT message) override;
    // Appends the record unless one with the same id is registered.
    void AddTarget(FootSwitchTarget target);
    // Makes the target with that id current; an unknown id leaves the current target as it was.
    void SelectTarget(const FootSwitchGuid& guid) override;
    // The current target, looked up by its id; null when none is selected.
    const FootSwitchTarget* CurrentTarget() const;

    // One poll, as the timer runs it.
    void Poll();

    bool IsOpened() const { return m_opened != 0; }
    bool IsPolling() const { return m_timer.isActive(); }
    void SetBeep(bool beep) { m_beep = beep ? 1 : 0; }
    // Replaces the bell (tests count the beeps).
    void SetBeepFunction(std::function<void(DWORD, DWORD)> beep) { m_beepFunction = std::move(beep); }
    IFootSwitchTransport& Transport() { return *m_transport; }

private:
    void Trigger();
    void StopPolling();
    void CloseDevice();

    int m_opened = 0;
    int m_beep = 1;
    int m_latch = 0;
    bool m_triggering = false;
    std::optional<FootSwitchGuid> m_current;
    std::vector<FootSwitchTarget> m_targets;
    std::unique_ptr<IFootSwitchTransport> m_transport;
    std::function<void(DWORD, DWORD)> m_beepFunction;
    QTimer m_timer;  // a child, so that tests can tick it
};
