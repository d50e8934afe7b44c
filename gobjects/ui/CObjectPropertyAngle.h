// The Angle page of the two point-picked angles: interior (the angle between the rays) or exterior (360 minus it).
// Bound to nothing: the owner copies the inner flag in before the sheet runs and out after OK. UI thread only.
#pragma once

#include "gobjects/ui/CPropertyPage.h"

#include <cstdint>

class QRadioButton;

class VISTREL_EXPORT CObjectPropertyAngle : public CPropertyPage
{
public:
    // Inner flag 1. Controls: radio buttons "interior", "exterior".
    explicit CObjectPropertyAngle(QWidget* parent = nullptr);

    int32_t GetInner() const { return m_inner; }
    void SetInner(int32_t inner) { m_inner = inner; }

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    int32_t m_inner = 1;
    QRadioButton* m_interior;
    QRadioButton* m_exterior;
};
