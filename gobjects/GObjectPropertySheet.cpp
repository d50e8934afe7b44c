#include "GObjectPropertySheet.h"

#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QDialog>

GObjectSheetRunner ModalSheetRunner(GObjectSheetBuilder buildSheet)
{
    return [buildSheet = std::move(buildSheet)](const GObjectSheetRequest& request) {
        const std::unique_ptr<QDialog> sheet = buildSheet ? buildSheet(request) : nullptr;
        if (!sheet)
            return IDCANCEL;
        return RunModal(*sheet) == QDialog::Accepted ? IDOK : IDCANCEL;
    };
}
