// The caliper dialog's owner-drawn push button: a flat face, a thin 3-D border (always, or in the hover look only
// while the mouse is over it or it is pressed), an optional pair of bitmaps (hot and normal) drawn with a
// transparent colour, a centred caption and a tooltip. In check mode it toggles and stays drawn pressed while on.
// The button owns its images. UI thread only.
#pragma once

#include "types/ColorRef.h"

#include <QColor>
#include <QImage>
#include <QPushButton>

class CHoverIconButton : public QPushButton
{
public:
    enum Look { kHoverLook = 1, kFramedLook = 2 };

    explicit CHoverIconButton(QWidget* parent = nullptr);
    ~CHoverIconButton() override;

    void SetLook(int look, bool redraw);
    int Look() const { return m_look; }
    // A button made from a check-box resource: it toggles at each click.
    void SetCheckMode(bool on);
    bool CheckMode() const { return m_checkMode; }

    // Takes copies of the images; pixels of the transparent colour let the face show through. A null `hot` leaves
    // the button without images. 0 on success, 1 when an image given has no size (then no image is kept).
    int AssignBitmaps(const QImage* hot, COLORREF hotTransparent, const QImage* normal, COLORREF normalTransparent);
    bool HasImage() const { return !m_hot.isNull(); }

    // Check mode only; returns 0.
    int SetChecked(int check, bool redraw);
    int IsChecked() const { return m_checkMode && isChecked() ? 1 : 0; }
    // Null does nothing; `activate` 0 keeps the text but shows no tip.
    void SetTipText(const char* text, bool activate);
    const QString& TipText() const { return m_tipText; }

    bool IsHot() const { return m_hot_; }
    QColor FaceColour() const { return m_face; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void TurnCold();
    void Track(bool leftHeld, bool over);

    int m_look = kFramedLook;
    bool m_hot_ = false;
    bool m_checkMode = false;
    QColor m_face;
    QColor m_text;
    QImage m_hot;
    QImage m_normal;
    QString m_tipText;
};
