#include "core/BusInstanceGate.h"

#include "winmsg/LocalPeerBus.h"
#include "winmsg/SingleInstance.h"

#include <QStringList>

BusInstanceGate::BusInstanceGate(QString identity, int handOverTimeoutMs)
    : m_identity(std::move(identity)), m_handOverTimeoutMs(handOverTimeoutMs)
{
}

BusInstanceGate::~BusInstanceGate() = default;

InstanceClaim BusInstanceGate::Claim(const std::vector<std::string>& openPaths,
                                     std::function<void(const std::vector<std::string>& openPaths)> onRestore)
{
    QStringList paths;
    for (const std::string& path : openPaths)
        paths << QString::fromStdString(path);
    auto instance = std::make_unique<SingleInstance>(m_identity);
    switch (instance->Claim(paths, m_handOverTimeoutMs)) {
    case SingleInstance::Outcome::Owner:
        QObject::connect(instance.get(), &SingleInstance::anotherInstanceStarted,
                         [onRestore = std::move(onRestore)](const QStringList& requested) {
                             std::vector<std::string> asked;
                             for (const QString& path : requested)
                                 asked.push_back(path.toStdString());
                             if (onRestore)
                                 onRestore(asked);
                         });
        m_instance = std::move(instance);
        return InstanceClaim::Owner;
    case SingleInstance::Outcome::AnotherInstanceAnswered: return InstanceClaim::HandedOver;
    case SingleInstance::Outcome::AnotherInstanceSilent: return InstanceClaim::Unanswered;
    case SingleInstance::Outcome::Failed: break;
    }
    return InstanceClaim::Owner;
}

void BusInstanceGate::Release()
{
    m_instance.reset();
}

bool BusInstanceGate::FindWindowByTitle(const std::string& title)
{
    if (LocalPeerBus* bus = Bus())
        return bus->FindWindow(QString::fromStdString(title));
    LocalPeerBus searcher;
    return searcher.FindWindow(QString::fromStdString(title));
}

LocalPeerBus* BusInstanceGate::Bus() const
{
    return m_instance ? m_instance->GetBus() : nullptr;
}
