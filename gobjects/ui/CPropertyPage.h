// One page of the object property sheet: a widget the sheet shows as a tab while it runs modally. The sheet calls
// OnInitDialog once its dialog exists (the page fills its controls from what it edits), then, when the user closes
// the sheet, OnOK (accepted: the page writes its controls back) or OnCancel on every page, in page order. A page
// never outlives what it is bound to and is never owned by the sheet: its owner (the sheet's members, or a
// shape's SpecificProperty that builds it on the stack) deletes it. Controls carry objectNames so that a test
// drives the page through them. UI thread only.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinTypes.h"

#include <QString>
#include <QWidget>

class VISTREL_EXPORT CPropertyPage : public QWidget
{
public:
    explicit CPropertyPage(const QString& caption, QWidget* parent = nullptr);
    ~CPropertyPage() override;

    // The tab's text.
    const QString& GetCaption() const { return m_caption; }

    // Fills the controls; TRUE when the sheet may give the focus to its first control.
    virtual BOOL OnInitDialog() { return 1; }
    // The sheet was accepted: write the controls back into what the page edits.
    virtual void OnOK() {}
    // The sheet was cancelled: put back whatever the page changed live.
    virtual void OnCancel() {}

private:
    QString m_caption;
};
