// The "Measurement Value" page of the object property sheet: which of the quantities a measurement can compute its
// value label shows, one checked line at most. UI thread only.
#pragma once

#include "gobjects/ui/CPropertyPage.h"

#include "types/VistrelExport.h"

class CQvGObject;
class QListWidget;
class QListWidgetItem;

class VISTREL_EXPORT CObjectDisplayValueProperty : public CPropertyPage
{
public:
    CObjectDisplayValueProperty();
    ~CObjectDisplayValueProperty() override;

    void SetGObject(CQvGObject* object) { m_object = object; }

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void KeepSingleCheck(QListWidgetItem* changed);

    CQvGObject* m_object = nullptr;  // not owned
    QListWidget* m_list;
    bool m_filling = false;
};
