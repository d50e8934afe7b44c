// The table from shape code to overlay class: the one place that knows which class draws which code.
#pragma once

#include "gobjects/GObjectTypes.h"

#include "types/VistrelExport.h"

class CQvGObject;

// A new object of the class for `shape`, with the annotation kind of the annotation codes; the class's
// constructor keeps its own (base) shape code. Null for a code that creates no object. The caller owns the
// object and frees it through its RemoveAll.
VISTREL_EXPORT CQvGObject* CreateGObject(OBJ_SHAPE shape);
