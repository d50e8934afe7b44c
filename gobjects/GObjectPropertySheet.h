// The step that shows the object property sheet, injected into each container so that the model code does not
// build dialogs: the program installs a runner that builds and runs the sheet modally; tests install one that
// answers at once. UI thread only.
#pragma once

#include <functional>

class CQvGObject;
class CQvGObjectContainer;
class CQvGObjectProperty;
class QWidget;

// What one run of the sheet edits: one object (its own property), or a bare attribute record (a shape's
// defaults) when object is null.
struct GObjectSheetRequest
{
    CQvGObjectContainer* container = nullptr;
    CQvGObject* object = nullptr;
    CQvGObjectProperty* property = nullptr;
    QWidget* parent = nullptr;  // the sheet's parent window, null for none
};

// Shows the sheet for the request modally; returns IDOK when the user accepted it, anything else otherwise.
using GObjectSheetRunner = std::function<int(const GObjectSheetRequest& request)>;
