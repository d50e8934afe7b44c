// Where the findable identities of this user live: one local socket per identity in a folder only the user can
// enter, $XDG_RUNTIME_DIR/qrx-peers (or <temp>/qrx-peers-<uid> without a runtime folder). Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <QString>
#include <QStringList>

// The folder, made 0700 when missing. Empty when there is no folder the user alone owns (an existing one that is a
// link or belongs to someone else is never used).
VISTREL_EXPORT QString PeerFolder();

// The socket of an identity (a window title or class name): its percent-encoded name in the folder, or a hash of
// the identity where that path would not fit a socket address. Empty for an empty identity or without a folder.
VISTREL_EXPORT QString PeerSocketPath(const QString& identity);

// Every socket in the folder, live or stale.
VISTREL_EXPORT QStringList PeerSocketPaths();
