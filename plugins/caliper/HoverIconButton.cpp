#include "caliper/HoverIconButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The image with every pixel of the transparent colour made clear, so that drawing it leaves the face there.
QImage Masked(const QImage& image, COLORREF transparent)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent));
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] = (row[x] & 0xFFFFFF) == (key & 0xFFFFFF) ? 0 : (row[x] | 0xFF000000);
    }
    return out;
}

}  // namespace

CHoverIconButton::CHoverIconButton(QWidget* parent) : QPushButton(parent)
{
    // The colours of construction hold for the button's life.
    m_face = palette().color(QPalette::Button);
    m_text = palette().color(QPalette::ButtonText);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

CHoverIconButton::~CHoverIconButton() = default;

void CHoverIconButton::SetLook(int look, bool redraw)
{
    m_look = look;
    if (redraw)
        update();
}

void CHoverIconButton::SetCheckMode(bool on)
{
    m_checkMode = on;
    setCheckable(on);
}

int CHoverIconButton::AssignBitmaps(const QImage* hot, COLORREF hotTransparent, const QImage* normal,
                                    COLORREF normalTransparent)
{
    m_hot = QImage();
    m_normal = QImage();
    int result = 0;
    if (hot) {
        if (hot->isNull() || (normal && normal->isNull())) {
            result = 1;
        } else {
            m_hot = Masked(*hot, hotTransparent);
            if (normal)
                m_normal = Masked(*normal, normalTransparent);
        }
    }
    update();
    return result;
}

int CHoverIconButton::SetChecked(int check, bool redraw)
{
    if (!m_checkMode)
        return 0;
    setChecked(check != 0);
    if (redraw)
        update();
    return 0;
}

void CHoverIconButton::SetTipText(const char* text, bool activate)
{
    if (!text)
        return;
    m_tipText = QString::fromUtf8(text);
    setToolTip(activate ? m_tipText : QString());
}

void CHoverIconButton::TurnCold()
{
    if (m_look == kHoverLook && m_hot_) {
        m_hot_ = false;
        update();
    }
}

void CHoverIconButton::Track(bool leftHeld, bool over)
{
    if (m_look != kHoverLook)
        return;
    // A drag that started elsewhere does not light the button.
    if (leftHeld && !m_hot_)
        return;
    if (over) {
        if (!m_hot_) {
            m_hot_ = true;
            update();
        }
    } else {
        TurnCold();
    }
}

void CHoverIconButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    Track(event->buttons() & Qt::LeftButton, true);
}

void CHoverIconButton::mouseMoveEvent(QMouseEvent* event)
{
    QPushButton::mouseMoveEvent(event);
    Track(event->buttons() & Qt::LeftButton, rect().contains(event->position().toPoint()));
}

void CHoverIconButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    TurnCold();
}

void CHoverIconButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    TurnCold();
}

void CHoverIconButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        TurnCold();
    } else if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        // A disabled button hands the keyboard on to the next tab stop of its dialog, else to the dialog.
        if (hasFocus() || QApplication::focusWidget() == this) {
            QWidget* next = nextInFocusChain();
            while (next && next != this && !(next->isEnabled() && next->isVisibleTo(window()) &&
                                             (next->focusPolicy() & Qt::TabFocus) && next->window() == window()))
                next = next->nextInFocusChain();
            if (next && next != this)
                next->setFocus(Qt::TabFocusReason);
            else if (parentWidget())
                parentWidget()->setFocus(Qt::TabFocusReason);
        }
        TurnCold();
    }
}

void CHoverIconButton::paintEvent(QPaintEvent*)
{
    const bool pressed = isDown() || (m_checkMode && isChecked());
    const bool disabled = !isEnabled();
    QPainter painter(this);
    const QRect item = rect();
    painter.fillRect(item, m_face);

    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    auto border = [&](const QColor& topLeft, const QColor& bottomRight) {
        const int r = item.right();
        const int b = item.bottom();
        painter.fillRect(QRect(0, 0, item.width() - 1, 1), topLeft);
        painter.fillRect(QRect(0, 0, 1, item.height() - 1), topLeft);
        painter.fillRect(QRect(r, 0, 1, item.height()), bottomRight);
        painter.fillRect(QRect(0, b, item.width(), 1), bottomRight);
    };
    if (pressed)
        border(shadow, highlight);
    else if (m_look == kFramedLook || m_hot_)
        border(highlight, shadow);

    QRect caption = item;
    if (!m_hot.isNull()) {
        const bool useNormal = !m_normal.isNull() && !pressed && (m_checkMode || !m_hot_);
        const QImage& image = useNormal ? m_normal : m_hot;
        QPoint at;
        if (!text().isEmpty()) {
            at = QPoint(item.left() + 3, item.top() + (item.height() - image.height()) / 2);
            caption.setLeft(caption.left() + image.width() + 3);
        } else {
            at = QPoint(item.left() + (item.width() - image.width()) / 2,
                        item.top() + (item.height() - image.height()) / 2);
        }
        if (pressed && !m_checkMode)
            at += QPoint(1, 1);
        painter.drawImage(at, image);
    }

    if (!text().isEmpty()) {
        if (pressed && !m_checkMode)
            caption.translate(1, 1);
        const int flags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignVCenter;
        if (disabled) {
            painter.setPen(highlight);
            painter.drawText(caption.translated(1, 1), flags, text());
            painter.setPen(shadow);
        } else {
            painter.setPen(m_text);
        }
        painter.drawText(caption, flags, text());
    }
}
