// The Scale Marker page: orientation, bar colour and caption unit of one scale marker, and the scale length of the
// container's calibration (in the calibration's unit, shown with its symbol). A unit picked in the combo applies at
// once (Cancel keeps it). The anchor radios exist but stay hidden: they carry the marker's anchor through unchanged.
// On OK the marker follows its moves again and becomes the default of later markers. UI thread only.
#pragma once

#include "gobjects/ui/CPropertyPage.h"

class CColorButton;
class CQvGObjectScaleMarker;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class VISTREL_EXPORT CObjScaleMarkerPage : public CPropertyPage
{
public:
    // Controls: combo "units", colour button "color", spin box "weight" (shown, not used), radio buttons
    // "horizontal" / "vertical", edit "scaleLength", label "scaleSymbol"; hidden radios "anchor0".."anchor8".
    // A null marker leaves the page inert.
    explicit CObjScaleMarkerPage(CQvGObjectScaleMarker* marker = nullptr, QWidget* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CQvGObjectScaleMarker* m_marker;
    QComboBox* m_units;
    CColorButton* m_colour;
    QSpinBox* m_weight;
    QRadioButton* m_horizontal;
    QRadioButton* m_vertical;
    QLineEdit* m_scaleLength;
    QLabel* m_symbol;
    QButtonGroup* m_anchors;
    bool m_initialised = false;
};
