// The colour button of the property pages and the grid of 40 named colours it drops down. The button's colour
// 0xFF000000 (CLR_AUTOMATIC) means "Automatic": the object decides, and the button shows its default colour.
// UI thread only.
#pragma once

#include "types/ColorRef.h"
#include "types/VistrelExport.h"
#include "types/WinTypes.h"

#include <QPushButton>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

// Notifications the button sends its owner (and the popup sends its button): the colour in `colour`, the button's
// control id in `controlId` (0 from the popup).
constexpr UINT CPN_SELCHANGE = 0x0400 + 1001;   // the colour changed (2025)
constexpr UINT CPN_DROPDOWN = 0x0400 + 1002;    // the popup opened (2026)
constexpr UINT CPN_CLOSEUP = 0x0400 + 1003;     // the popup closed (2027)
constexpr UINT CPN_SELENDOK = 0x0400 + 1004;    // a colour was accepted (2028)
constexpr UINT CPN_SELENDCANCEL = 0x0400 + 1005;// the choice was cancelled (2029)

using ColorNotify = std::function<void(UINT message, COLORREF colour, int controlId)>;

struct ColorTableEntry
{
    COLORREF colour;
    const char* name;  // the cell's tooltip
};
inline constexpr int COLOR_TABLE_SIZE = 40;
inline constexpr int COLOR_TABLE_COLUMNS = 8;
// The grid's colours, row by row.
VISTREL_EXPORT const ColorTableEntry& ColorTableAt(int index);

// The colour shown for "Automatic" unless the owner sets another (the application workspace grey).
inline constexpr COLORREF COLOR_BUTTON_DEFAULT = RGB(171, 171, 171);

class CColorButton;

// The dropped-down grid. Cells: 0..39 the colours, CELL_CUSTOM the "More Colors..." box, CELL_DEFAULT the
// "Automatic" box, CELL_NONE nothing. It ends itself on a click, Return, Space or Escape (or when it loses the
// screen to another window), tells its button and deletes itself.
class VISTREL_EXPORT CColorPopup : public QWidget
{
public:
    static constexpr int CELL_NONE = -1;
    static constexpr int CELL_CUSTOM = -2;
    static constexpr int CELL_DEFAULT = -3;

    // Opens at `topLeft` (global coordinates, moved to stay on the screen; above `anchor` when it would pass the
    // screen's bottom). Null texts are empty: the box is then left out.
    CColorPopup(QPoint topLeft, QRect anchor, COLORREF colour, CColorButton* button, const QString& defaultText,
                const QString& customText);
    ~CColorPopup() override;

    int HotCell() const { return m_hot; }
    int ChosenCell() const { return m_chosen; }
    COLORREF CurrentColour() const { return m_colour; }
    // Where a cell lies in the popup (empty for a missing box or index).
    QRect CellRect(int cell) const;
    // The cell under a popup point, CELL_NONE outside every cell.
    int CellAt(QPoint pos) const;
    // The tooltip of the cell under a popup point ("" outside the colours).
    QString ToolTipAt(QPoint pos) const;
    bool IsColourDialogOpen() const { return m_dialogOpen; }

    // Where a popup of `size` goes: below the anchor at `topLeft`, shifted left/right into `screen`, and above the
    // anchor when it would pass the screen's bottom.
    static QPoint Place(QPoint topLeft, QSize size, QRect anchor, QRect screen);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Layout();
    int ChosenCellFor(COLORREF colour) const;
    void ChangeHot(int cell);
    COLORREF ColourOf(int cell) const;
    void MoveHot(int key);
    void End(UINT message);

    QString m_defaultText;
    QString m_customText;
    int m_rows = 5;
    int m_box = 18;
    int m_margin = 2;
    int m_hot = CELL_NONE;
    int m_chosen = CELL_NONE;
    QRect m_defaultBox;
    QRect m_customBox;
    int m_gridTop = 0;   // where row 0 of the grid begins
    COLORREF m_initial = 0;
    COLORREF m_colour = 0;
    CColorButton* m_button = nullptr;
    bool m_dialogOpen = false;
    bool m_ended = false;

    friend class CColorButton;
};

// A push button showing its colour as a swatch with a drop-down arrow; a click opens a CColorPopup below it.
class VISTREL_EXPORT CColorButton : public QPushButton
{
public:
    explicit CColorButton(QWidget* parent = nullptr);
    ~CColorButton() override;

    COLORREF GetColor() const { return m_colour; }
    // Stores the colour and repaints at once.
    void SetColor(COLORREF colour);
    COLORREF GetDefaultColor() const { return m_defaultColour; }
    void SetDefaultColor(COLORREF colour);
    void SetDefaultText(const QString& text);  // "" leaves the "Automatic" box out
    void SetCustomText(const QString& text);   // "" leaves the "More Colors..." box out
    QString GetDefaultText() const { return m_defaultText; }
    QString GetCustomText() const { return m_customText; }
    // When set, the button takes each colour the popup highlights at once.
    void SetTrackSelection(bool track) { m_track = track; }
    bool GetTrackSelection() const { return m_track; }
    // Whether an accepted colour that differs from the one before the popup is told once more as CPN_SELCHANGE
    // after CPN_SELENDOK (on by default; pickers that tell only hovers as changes turn it off).
    void SetChangeAfterAccept(bool tell) { m_changeAfterAccept = tell; }
    bool IsPopupActive() const { return m_popupActive; }
    // The open popup, or null.
    CColorPopup* Popup() const { return m_popup; }

    // Data exchange: save != 0 reads the colour from the control into `value`, else writes `value` and repaints.
    void Exchange(bool save, COLORREF& value);

    // The owner's notifications (CPN_*); the control id is what SetControlId gave (0 by default).
    ColorNotify notify;
    void SetControlId(int id) { m_controlId = id; }
    int ControlId() const { return m_controlId; }

    // What the popup reports (CPN_SELCHANGE, CPN_SELENDOK, CPN_SELENDCANCEL).
    void OnPopupMessage(UINT message, COLORREF colour);
    // The colour the button stands for, as the swatch shows it: the default colour for "Automatic". Whoever stores
    // the button's choice stores this, never the "Automatic" marker itself.
    COLORREF SwatchColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OpenPopup();
    void Notify(UINT message, COLORREF colour);

    COLORREF m_colour = CLR_AUTOMATIC;
    COLORREF m_defaultColour = COLOR_BUTTON_DEFAULT;
    QString m_defaultText;
    QString m_customText;
    bool m_popupActive = false;
    bool m_track = false;
    bool m_changeAfterAccept = true;
    COLORREF m_colourBeforePopup = CLR_AUTOMATIC;
    CColorPopup* m_popup = nullptr;
    int m_controlId = 0;

    friend class CColorPopup;
};
