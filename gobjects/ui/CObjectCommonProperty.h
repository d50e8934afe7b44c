// The Common page of the object property sheet: the text (content, face, size, bold, italic, underline, colour), the
// line (end shapes, weight, pen style, transparent, colour) and the fill (transparent, colour) of one object, or of a
// bare attribute record (a shape's defaults). The font being edited is kept as the record's LOGFONT, never taken
// back from a QFont. The page records which controls the user edited and OK writes those fields only: a sheet
// accepted with the page untouched leaves the object or record exactly as it was. UI thread only.
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

    // The PropertyField bits of the attributes whose controls the user edited in the last run (also when the value
    // picked is the one already there).
    uint32_t GetChangedFields() const { return m_edited & kPropertyFields; }

private:
    void ShowPageFont();
    void SelectSize();
    // Page-only edits beside the PropertyField bits.
    static constexpr uint32_t kEditText = 0x10000;
    static constexpr uint32_t kEditShowLine = 0x20000;
    static constexpr uint32_t kEditShowFill = 0x40000;
    static constexpr uint32_t kPropertyFields = 0xFFFF;
    static constexpr uint32_t kFontFields =
        PF_FONT_FACE | PF_FONT_HEIGHT | PF_FONT_WEIGHT | PF_FONT_ITALIC | PF_FONT_UNDERLINE;

    void Edited(uint32_t field);
    // The edits of the controls, with the colours the buttons were left at compared with what they opened with (a
    // colour set without its popup sends nothing).
    uint32_t EditedFields() const;
    // What the controls hold, over a copy of `property`.
    CQvGObjectProperty Wanted(const CQvGObjectProperty& property) const;

    CQvGObjectContainer* m_container = nullptr;  // not owned
    CQvGObjectProperty* m_property = nullptr;    // not owned
    CQvGObject* m_object = nullptr;              // not owned
    LOGFONTA m_font{};
    bool m_filling = false;
    uint32_t m_edited = 0;
    COLORREF m_openedText = 0;
    COLORREF m_openedLine = 0;
    COLORREF m_openedFill = 0;

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
