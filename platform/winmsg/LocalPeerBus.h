// The message bus over local sockets: a findable object listens on the socket of its identity in the user's peer
// folder (PeerFolder.h); each message is one connection that carries a frame (PeerFrame.h) and, for a send, its
// reply. A frame that is malformed or over its size limit closes its connection and never reaches the receiver.
// Sockets of programs that died are removed when found.
#pragma once

#include "winmsg/PeerBus.h"

#include <memory>

struct PeerFrame;

class VISTREL_EXPORT LocalPeerBus final : public PeerBus
{
    Q_OBJECT

public:
    explicit LocalPeerBus(QObject* parent = nullptr);
    ~LocalPeerBus() override;

    bool Listen(const QString& identity) override;
    void Close() override;
    QString Identity() const override;

    bool FindWindow(const QString& identity) override;
    bool PostMessage(const QString& peer, const QString& name, qint64 wParam, qint64 lParam,
                     const QByteArray& attachment = {}) override;
    int Broadcast(const QString& name, qint64 wParam, qint64 lParam, const QByteArray& attachment = {}) override;
    PeerReply SendMessage(const QString& peer, const QString& name, qint64 wParam, qint64 lParam,
                          int timeoutMs = kPeerSendTimeoutMs, const QByteArray& attachment = {}) override;
    PeerReply SendCopyData(const QString& peer, quint32 code, const QByteArray& bytes,
                           int timeoutMs = kPeerSendTimeoutMs) override;
    void SetReply(qint64 result) override;

private:
    struct Private;
    struct Inbound;

    void Accept();
    void Pump(Inbound& inbound);
    void Deliver(Inbound& inbound, PeerFrame& frame);
    void Remove(Inbound& inbound);
    bool Post(const QString& path, const QByteArray& frame);

    std::unique_ptr<Private> d;
};
