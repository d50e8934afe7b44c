// Messages between programs of this user on one machine, in place of window messages: an object is findable under
// an identity (a window title or class name), messages carry names rather than numbers, every wait for an answer is
// bounded by a timeout and every payload by a size limit. An interface, so that callers and their tests can use
// another carrier; LocalPeerBus is the one the programs use.
//
// Thread: an object serves and sends on the thread it lives on (the UI thread); incoming messages are emitted there.
#pragma once

#include "types/VistrelExport.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>

// The answer to SendMessage or SendCopyData. `delivered` is false when the peer does not exist, went away or did not
// answer in time; `result` is what the receiver set with SetReply (0 unless it did).
struct PeerReply
{
    bool delivered = false;
    int64_t result = 0;
};

// How long a send waits for its answer unless told otherwise. Windows waited without bound; a peer that hangs
// must not hang the sender with it.
inline constexpr int kPeerSendTimeoutMs = 5000;

class VISTREL_EXPORT PeerBus : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~PeerBus() override;

    // Makes this object findable as `identity` (replacing an identity it had). False when a live object holds the
    // identity already or there is no peer folder; a stale leftover of a program that died is taken over.
    virtual bool Listen(const QString& identity) = 0;
    // Stops being findable; messages still being read are dropped.
    virtual void Close() = 0;
    // The identity listened on, empty when not findable.
    virtual QString Identity() const = 0;

    // True when an object is listening as `identity` and accepts a connection.
    virtual bool FindWindow(const QString& identity) = 0;

    // Fire and forget: true when the peer exists and the message is on its way. Returns at once.
    virtual bool PostMessage(const QString& peer, const QString& name, qint64 wParam, qint64 lParam,
                             const QByteArray& attachment = {}) = 0;
    // Posts to every findable object of this user, this one included; returns how many were reached.
    virtual int Broadcast(const QString& name, qint64 wParam, qint64 lParam, const QByteArray& attachment = {}) = 0;

    // Deliver and wait up to `timeoutMs` for the receiver's answer. While waiting, the calling thread keeps serving
    // messages sent to it and its timers (so two objects of one thread can talk), but takes no user input.
    virtual PeerReply SendMessage(const QString& peer, const QString& name, qint64 wParam, qint64 lParam,
                                  int timeoutMs = kPeerSendTimeoutMs, const QByteArray& attachment = {}) = 0;
    // A numbered block of bytes; the receiver learns this object's identity as the sender.
    virtual PeerReply SendCopyData(const QString& peer, quint32 code, const QByteArray& bytes,
                                   int timeoutMs = kPeerSendTimeoutMs) = 0;

    // Called by a receiver while a sent message or a copy is being delivered to it: the result its sender gets.
    // Ignored at any other time.
    virtual void SetReply(qint64 result) = 0;

signals:
    // A posted or sent message. For a sent one the sender waits until every receiver has returned.
    void registeredMessage(const QString& name, qint64 wParam, qint64 lParam, const QByteArray& attachment);
    // `sender` is the identity of the sending object, empty when it is not findable.
    void copyData(quint32 code, const QByteArray& bytes, const QString& sender);
};
