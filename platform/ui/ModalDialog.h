// The one way every modal dialog of the system runs: build the dialog, then RunModal(dialog), never exec(). A test
// installs a hook that answers each dialog synchronously, as the message-box hook answers boxes, so no test waits
// on an event loop and a failed check cannot hang a run. The prompts of this folder (message boxes, file and
// colour dialogs) come here too when their own hooks leave them to the real dialog. UI thread only.
#pragma once

#include "types/VistrelExport.h"

#include <functional>

class QDialog;

// Answers a dialog that is built but not shown: it may read and drive the dialog's widgets, and closes it with
// accept(), reject() or done(code). A hook that closes nothing answers as if the user closed the window
// (QDialog::Rejected). Runs on the UI thread, inside RunModal. An empty hook restores exec().
using ModalDialogHook = std::function<void(QDialog& dialog)>;
VISTREL_EXPORT void SetModalDialogHook(ModalDialogHook hook);

// Runs the dialog modally and returns its result (QDialog::Accepted, QDialog::Rejected or the code given to done).
// Without a hook: exec(). With one: the result is cleared as exec() clears it, the hook answers, and the dialog is
// left hidden. UI thread only; the dialog stays owned by the caller.
VISTREL_EXPORT int RunModal(QDialog& dialog);
