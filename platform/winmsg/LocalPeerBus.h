// The message bus over local sockets: a findable object listens on the socket of its identity in the user's peer
// folder (PeerFolder.h); each message is one connection that carries a frame (PeerFrame.h) and, for a send, its
// reply. A frame that is malformed or over its size limit closes its connection and never reaches the receiver.
// Sockets of programs that died are removed when found.
//
// A listener bounds what its peers can cost (PeerBusLimits): connections over the limit are closed at once, a
// connection whose next frame is not whole in time is closed, and a frame that would take the bytes held for
// unfinished frames over their limit closes its connection. Running out of descriptors pauses accepting instead of
// ending it, and a socket file that went away is listened on again.
#pragma once

#include "winmsg/PeerBus.h"
#include "winmsg/PeerFrame.h"

#include <cstddef>
#include <memory>

// Each limit is far beyond what the program and its companions need.
struct PeerBusLimits
{
    int maxConnections = 32;      // connections being read at once
    int frameTimeoutMs = 30000;   // from a connection's start or its last frame to the end of its next one
    size_t maxBufferedBytes = 2 * (size_t{kPeerFrameMaxPayload} + kPeerFrameMaxName + 64);  // all connections
    int acceptRetryMs = 250;      // the rest after running out of descriptors
    int listenCheckMs = 2000;     // how often the socket file is checked while listening
};

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

    // Applies to connections accepted from now on; a new check interval or rest from the next Listen.
    void SetLimits(const PeerBusLimits& limits);
    // Connections being read now.
    int InboundCount() const;

private:
    struct Private;
    struct Inbound;

    void Accept(int descriptor);
    void CheckListening();
    void Pump(Inbound& inbound);
    void Deliver(Inbound& inbound, PeerFrame& frame);
    void Remove(Inbound& inbound);
    bool Post(const QString& path, const QByteArray& frame);

    std::unique_ptr<Private> d;
};
