// The step that shows the object property sheet, injected into each container so that the model code does not
// build dialogs: the program installs a runner that builds the sheet and runs it modally; tests install one that
// answers at once, or answer the real sheet through the modal hook. UI thread only.
#pragma once

#include "types/VistrelExport.h"

#include <functional>
#include <memory>

class CQvGObject;
class CQvGObjectContainer;
class CQvGObjectProperty;
class CPropertyPage;
class QDialog;
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
};

// Shows the sheet for the request modally; returns IDOK when the user accepted it, anything else otherwise.
// Like every dialog of the system, a sheet runs through RunModal (ui/ModalDialog.h), never exec(), so that a test
// answers it synchronously: install ModalSheetRunner rather than writing a runner that shows a dialog itself.
using GObjectSheetRunner = std::function<int(const GObjectSheetRequest& request)>;

// Builds the sheet for a request (parented to request.parent), not shown; accepting it means OK. Null: no sheet.
using GObjectSheetBuilder = std::function<std::unique_ptr<QDialog>(const GObjectSheetRequest& request)>;

// The runner to install: builds the sheet, runs it through RunModal and deletes it; IDOK when it was accepted,
// IDCANCEL otherwise (also when the builder gave no sheet).
VISTREL_EXPORT GObjectSheetRunner ModalSheetRunner(GObjectSheetBuilder buildSheet);
