// The Target page: the ring spacing (gap, in the units of the container's calibration) and the ring shapes of one
// target. A gap below 10 image pixels is refused with "Too small!!" and 10 pixels are taken instead; every accepted
// or corrected gap becomes, with the target's other settings, the default of the next targets. The up and down
// arrows step the gap by the target's units per pixel (one image pixel); they take effect at once, so Cancel puts
// the target's gap and the target defaults back as the page found them. UI thread only.
#pragma once

#include "gobjects/ui/CPropertyPage.h"

#include "gobjects/CQvGObjectProperty.h"

#include <cstdint>
#include <string>

class CQvGObjectTarget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

class VISTREL_EXPORT CObjectPropertyTarget : public CPropertyPage
{
public:
    // Controls: edit "gap", arrows "gapUp" / "gapDown" (also the Up / Down keys in the edit), label "gapUnit",
    // check boxes "circle", "rectangle". A null target leaves the page inert.
    explicit CObjectPropertyTarget(CQvGObjectTarget* target = nullptr, QWidget* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // One arrow click: +1 up, -1 down. Nothing while the edit is empty.
    void Step(int direction);

    // "%f" without trailing zeros and without a trailing point: 20.5 -> "20.5", 20 -> "20".
    static std::string FormatGap(double gap);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The gap rule for g; the edit then shows the gap in force.
    void ApplyGap(double gap);
    double EditValue() const;

    CQvGObjectTarget* m_target;
    QLineEdit* m_gap;
    QToolButton* m_up;
    QToolButton* m_down;
    QLabel* m_unit;
    QCheckBox* m_circle;
    QCheckBox* m_rectangle;

    // What the arrows may change before OK or Cancel, as the page found it.
    bool m_saved = false;
    double m_savedGap = 0.0;
    double m_savedFactor = 1.0;
    bool m_savedDefaults = false;
    CQvGObjectProperty m_savedProperty;
    float m_savedDefaultGap = 0.0f;
    double m_savedDefaultFactor = 1.0;
    int32_t m_savedDefaultFlags = 0;
};
