#include "winmsg/PeerBus.h"

PeerBus::~PeerBus() = default;
