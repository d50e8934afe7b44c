// The grid dialog: edits one CLatticer live (kinds, line weight, colour, spacing, label decimals). Every change is
// written into the overlay at once and the window showing it is repainted; OK and Apply also take the typed
// weight and spacing, Cancel (or closing the dialog) puts the overlay back as it was when the dialog was built.
//
// Contract: UI thread; modal. The overlay and the window are not owned and must outlive the dialog; the window
// may be null. Children are named after their control ids for tests: "id100".."id105" the kind buttons,
// "id1001" weight, "id1003" colour, "id1004" spacing, "id1006" decimals (each field carries its stepper),
// "id1" OK, "id2" Cancel, "id3" Apply.
#pragma once

#include "CLatticer.h"
#include "types/VistrelExport.h"

#include <QDialog>

#include <vector>

class ColourSwatch;
class GapBox;
class KindButton;
class StepperBox;

class VISTREL_EXPORT CGridDlg : public QDialog
{
    Q_OBJECT
public:
    CGridDlg(QWidget* parent, CLatticer* overlay);

    // Runs the dialog through RunModal (ui/ModalDialog.h); 1 after OK, 0 after Cancel.
    int DoModal();
    // Shows the spacing ("%f" without trailing zeros: 30.5 reads "30.5", 40 reads "40"), stores it in the
    // overlay and repaints the window.
    void SetGap(float gap);

    void accept() override;
    void reject() override;

private:
    void BuildControls();
    void ApplyKinds();
    void ApplyTypedFields();
    void StepGap(int steps);
    void ChooseLineColour();
    void RepaintParent();

    QWidget* m_parent;
    CLatticer* m_overlay;
    const CLatticer m_backup;
    COLORREF m_chosenColour;
    std::vector<KindButton*> m_kindButtons;
    StepperBox* m_weight = nullptr;
    ColourSwatch* m_swatch = nullptr;
    GapBox* m_gap = nullptr;
    StepperBox* m_decimals = nullptr;
};

// Runs the grid dialog on the overlay; 1 after OK, 0 after Cancel.
VISTREL_EXPORT int GridProperty(QWidget* parent, CLatticer* overlay);
