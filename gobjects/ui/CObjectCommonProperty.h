// The Common page of the object property sheet: the text (content, face, size, bold, italic, underline, colour), the
// line (end shapes, weight, pen style, transparent, colour) and the fill (transparent, colour) of one object, or of a
// bare attribute record (a shape's defaults). The font being edited is kept as the record's LOGFONT, never taken
// back from a QFont, so that what was not touched stays exactly as it was. UI thread only.
#pragma once

#include "gobjects/CQvGObjectProperty.h"
#include "gobjects/ui/CPropertyPage.h"

#include "types/ColorRef.h"
#include "types/VistrelExport.h"
#include "types/WinRecords.h"

#include <cstdint>

class CColorButton;
class CFontNameCombo;
class CLineEndCombo;
class CLineStyleCombo;
class CQvGObject;
class CQvGObjectContainer;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

class VISTREL_EXPORT CObjectCommonProperty : public CPropertyPage
{
public:
    CObjectCommonProperty();
    ~CObjectCommonProperty() override;

    void SetContainer(CQvGObjectContainer* container) { m_container = container; }
    // Binds the page to a bare record; no object.
    void SetProperty(CQvGObjectProperty* property);
    // Binds the page to an object and its own record.
    void SetGObject(CQvGObject* object);
    CQvGObject* GetGObject() const { return m_object; }

    BOOL OnInitDialog() override;
    void OnOK() override;

    // After OK on a bare record: the PropertyField bits of the attributes the user changed.
    uint32_t GetChangedFields() const { return m_changedFields; }
    // The working font.
    const LOGFONTA& GetPageFont() const { return m_font; }

private:
    void ShowPageFont();
    void SelectSize();
    COLORREF ChosenColour(const CColorButton* button) const;
    void WriteCommon(CQvGObjectProperty& property) const;

    CQvGObjectContainer* m_container = nullptr;  // not owned
    CQvGObjectProperty* m_property = nullptr;    // not owned
    CQvGObject* m_object = nullptr;              // not owned
    LOGFONTA m_font{};
    bool m_filling = false;
    uint32_t m_changedFields = 0;

    CFontNameCombo* m_face;
    QComboBox* m_size;
    QPlainTextEdit* m_text;
    QPushButton* m_bold;
    QPushButton* m_italic;
    QPushButton* m_underline;
    CColorButton* m_textColour;
    CLineEndCombo* m_start;
    CLineEndCombo* m_end;
    QSpinBox* m_weight;
    CLineStyleCombo* m_lineType;
    QCheckBox* m_lineTransparent;
    CColorButton* m_lineColour;
    QCheckBox* m_fillTransparent;
    CColorButton* m_fillColour;
};
