// Seeds of the message frames between programs: one of each kind, as the bus writes them.
#include "FuzzSeeds.h"

#include "winmsg/PeerFrame.h"

VISTREL_FUZZ_SEEDS(winmsg_frame)
{
    PeerFrame post;
    post.kind = PeerFrameKind::Post;
    post.name = "VQ_ALIVE_REQUEST_MSG";
    PeerFrame send;
    send.kind = PeerFrameKind::Send;
    send.name = "restore";
    send.payload = {'/', 'a', '.', 'b', 'm', 'p', 0, '/', 'b', '.', 'j', 'p', 'g'};
    PeerFrame copy;
    copy.kind = PeerFrameKind::CopyData;
    copy.name = "Image Tiling (64)";
    copy.copyDataCode = 9006;
    copy.payload.assign(260, 0);
    copy.wParam = -1;
    copy.lParam = 1;
    PeerFrame reply;
    reply.kind = PeerFrameKind::Reply;
    reply.result = 1;
    return {EncodePeerFrame(post), EncodePeerFrame(send), EncodePeerFrame(copy), EncodePeerFrame(reply)};
}
