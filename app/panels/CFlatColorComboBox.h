// A combo box with a flat, borderless look that turns raised while the mouse is over it or it has the focus, whose
// items each carry a text colour and a background colour of their own, with an optional type-ahead completion in
// its edit field (editable boxes only). Dialogs create it in place of a plain QComboBox and may fill it through the
// plain operations too: an item added without colours shows black on white.
//
// Contract: UI thread. The colours live in the items themselves (roles below), so they can never fall out of step
// with the item list, whichever operation changes it.
#pragma once

#include "types/ColorRef.h"

#include <QComboBox>
#include <QPointer>

class QLineEdit;
class QPainter;

class CFlatColorComboBox : public QComboBox
{
    Q_OBJECT
public:
    // The looks of the frame.
    enum Look
    {
        LookFlat = 1,
        LookRaised = 2,
        LookPressed = 3,
    };
    static constexpr int kTextColorRole = Qt::UserRole + 0x4C1;
    static constexpr int kBkColorRole = Qt::UserRole + 0x4C2;
    static constexpr COLORREF kDefaultText = 0x000000;
    static constexpr COLORREF kDefaultBk = 0xFFFFFF;

    explicit CFlatColorComboBox(QWidget* parent = nullptr);

    void AddString(const QString& text, COLORREF textColor = kDefaultText, COLORREF bkColor = kDefaultBk);
    // The index the item went to, -1 when `index` is beyond the end (-1 appends).
    int InsertString(int index, const QString& text, COLORREF textColor = kDefaultText, COLORREF bkColor = kDefaultBk);
    void DeleteString(int index);
    void ResetContent();

    COLORREF GetTextColor(int index) const;
    COLORREF GetBkColor(int index) const;

    // Draws item `index` into `rect` as the list and the closed box show it; nothing for an index at or beyond the
    // item count.
    void DrawItem(QPainter& painter, const QRect& rect, int index, bool selected) const;

    Look CurrentLook() const;
    bool IsHot() const { return m_hot; }
    bool IsAutoComplete() const { return m_autoComplete; }
    void SetAutoComplete(bool on) { m_autoComplete = on; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void WireEdit();
    void OnEditUpdate(const QString& text);
    void ReadSystemColours();
    void DrawFrame(QPainter& painter, Look look) const;
    int DropButtonWidth() const;

    QPointer<QLineEdit> m_wiredEdit;  // the edit field whose typing completes
    bool m_buttonDown = false;
    bool m_hot = false;
    bool m_focused = false;
    bool m_autoComplete = true;
    QColor m_highlight;
    QColor m_shadow;
    QColor m_face;
};
