// The single-instance rule and the window search over the message bus: the first start owns the main window's
// identity and listens on it; a later start hands "restore" with its paths to the owner and ends. A first instance
// whose bus is gone cannot be handed anything: the later start then becomes the instance itself. Companion
// programs' windows are found by their titles on the same bus. UI thread.
#pragma once

#include "core/AppSeams.h"

#include "winmsg/PeerBus.h"

#include <QString>

#include <memory>

class LocalPeerBus;
class SingleInstance;

// The main window's identity on the bus: a fixed class name, the same for every version of the program.
constexpr const char* kMainWindowClassName = "{6B1E0F3C-5A27-4D9E-8C41-93F2A7D05E18}";

class BusInstanceGate : public IInstanceGate
{
public:
    // `handOverTimeoutMs`: how long a later start waits for the first one to take its request.
    explicit BusInstanceGate(QString identity = QString::fromLatin1(kMainWindowClassName),
                             int handOverTimeoutMs = kPeerSendTimeoutMs);
    ~BusInstanceGate() override;

    // Without a usable peer folder the rule cannot be kept; the program then runs rather than refusing to start.
    InstanceClaim Claim(const std::vector<std::string>& openPaths,
                        std::function<void(const std::vector<std::string>& openPaths)> onRestore) override;
    void Release() override;
    bool FindWindowByTitle(const std::string& title) override;

    // The owner's bus, through which companion programs message the main window; null unless this start owns it.
    LocalPeerBus* Bus() const;

private:
    QString m_identity;
    int m_handOverTimeoutMs;
    std::unique_ptr<SingleInstance> m_instance;
};
