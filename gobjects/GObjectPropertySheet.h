// What a container hands to whoever shows the object property sheet. Without anything installed the container
// runs its own CObjPropertySheet (ui/CObjPropertySheet.h) through RunModal; a test or a program with a sheet of its
// own installs a GObjectSheetRunner in its place (CQvGObjectContainer::SetPropertySheetRunner). UI thread only.
#pragma once

#include <cstdint>
#include <functional>

class CQvGObject;
class CQvGObjectContainer;
class CQvGObjectProperty;
class CPropertyPage;
class QWidget;

// What one run of the sheet edits: one object (its own property), or a bare attribute record (a shape's
// defaults) when object is null.
struct GObjectSheetRequest
{
    CQvGObjectContainer* container = nullptr;
    CQvGObject* object = nullptr;
    CQvGObjectProperty* property = nullptr;
    QWidget* parent = nullptr;  // the sheet's parent window, null for none
    // A shape's own page, added after the sheet's pages and shown first; null for none. Not owned.
    CPropertyPage* shapePage = nullptr;
    // Where an accepted sheet that knows them leaves the PropertyField bits of the attributes the user edited;
    // null when nobody asks. A runner that cannot tell leaves it as it was.
    uint32_t* editedFields = nullptr;
};

// Shows the sheet for the request modally; returns IDOK when the user accepted it, anything else otherwise. It
// runs the event loop, so anything may be deleted meanwhile: the container finds that out itself afterwards.
using GObjectSheetRunner = std::function<int(const GObjectSheetRequest& request)>;
