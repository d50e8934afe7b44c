// A message frame from another program on the local bus. Whatever decodes must encode back to the very bytes it
// came from, and any shorter beginning of a frame must ask for more rather than be refused, since a connection
// hands frames over in pieces.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "winmsg/PeerFrame.h"

#include <algorithm>

VISTREL_FUZZ_TARGET(winmsg_frame)
{
    PeerFrame frame;
    size_t consumed = 0;
    if (DecodePeerFrame(data, size, frame, consumed) != PeerFrameStatus::Complete)
        return 0;
    FuzzCheck(consumed > 0 && consumed <= size, "a decoded frame lies within the bytes");
    const std::vector<uint8_t> encoded = EncodePeerFrame(frame);
    FuzzCheck(encoded.size() == consumed && std::equal(encoded.begin(), encoded.end(), data),
              "a decoded frame encodes back to its bytes");
    PeerFrame partial;
    size_t unused = 0;
    FuzzCheck(DecodePeerFrame(data, consumed - 1, partial, unused) == PeerFrameStatus::NeedMore,
              "the beginning of a good frame waits for the rest");
    return 0;
}
