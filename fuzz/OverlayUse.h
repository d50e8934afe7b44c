// What a user does with an overlay once it is read: paints it at its own zoom and at 1, clicks into it, reads its
// values and saves it again. Whatever was written must read back.
#pragma once

class CQvGObjectContainer;

void UseOverlayAsAUserWould(CQvGObjectContainer& container);
