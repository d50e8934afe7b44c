#include "panels/CFlatColorComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

QColor ToColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Top and left edges in `topLeft`, right and bottom edges in `bottomRight`; right and bottom exclusive.
void Draw3dRect(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

// The popup list draws its rows the way the box draws them.
class FlatColorItemDelegate : public QStyledItemDelegate
{
public:
    explicit FlatColorItemDelegate(CFlatColorComboBox& box) : QStyledItemDelegate(&box), m_box(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_box.DrawItem(*painter, option.rect, index.row(), option.state.testFlag(QStyle::State_Selected));
    }

private:
    CFlatColorComboBox& m_box;
};

}  // namespace

CFlatColorComboBox::CFlatColorComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new FlatColorItemDelegate(*this));
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    ReadSystemColours();
}

void CFlatColorComboBox::AddString(const QString& text, COLORREF textColor, COLORREF bkColor)
{
    InsertString(-1, text, textColor, bkColor);
}

int CFlatColorComboBox::InsertString(int index, const QString& text, COLORREF textColor, COLORREF bkColor)
{
    if (index < 0)
        index = count();
    if (index > count())
        return -1;
    insertItem(index, text);
    setItemData(index, static_cast<uint>(textColor), kTextColorRole);
    setItemData(index, static_cast<uint>(bkColor), kBkColorRole);
    return index;
}

void CFlatColorComboBox::DeleteString(int index)
{
    removeItem(index);
}

void CFlatColorComboBox::ResetContent()
{
    clear();
}

COLORREF CFlatColorComboBox::GetTextColor(int index) const
{
    const QVariant value = itemData(index, kTextColorRole);
    return value.isValid() ? value.toUInt() : kDefaultText;
}

COLORREF CFlatColorComboBox::GetBkColor(int index) const
{
    const QVariant value = itemData(index, kBkColorRole);
    return value.isValid() ? value.toUInt() : kDefaultBk;
}

void CFlatColorComboBox::DrawItem(QPainter& painter, const QRect& rect, int index, bool selected) const
{
    if (index < 0 || index >= count())
        return;
    painter.save();
    const QPalette& pal = palette();
    const COLORREF bk = GetBkColor(index);
    QColor text = ToColor(GetTextColor(index));
    if (selected && bk == kDefaultBk) {
        // A plain item shows in the selection colours.
        text = pal.color(QPalette::HighlightedText);
        painter.fillRect(rect, pal.color(QPalette::Highlight));
    } else if (selected) {
        // A coloured item keeps its colour inside a selection frame, so the colour stays readable.
        painter.fillRect(rect, pal.color(QPalette::Highlight));
        painter.fillRect(rect.adjusted(1, 1, -1, -1), ToColor(bk));
    } else {
        painter.fillRect(rect, ToColor(bk));
    }
    painter.setPen(text);
    painter.setFont(font());
    painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
    painter.restore();
}

CFlatColorComboBox::Look CFlatColorComboBox::CurrentLook() const
{
    if (m_buttonDown)
        return LookPressed;
    return m_hot || m_focused ? LookRaised : LookFlat;
}

int CFlatColorComboBox::DropButtonWidth() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void CFlatColorComboBox::ReadSystemColours()
{
    const QPalette pal = QApplication::palette();
    m_highlight = pal.color(QPalette::Light);
    m_shadow = pal.color(QPalette::Dark);
    m_face = pal.color(QPalette::Button);
}

void CFlatColorComboBox::DrawFrame(QPainter& painter, Look look) const
{
    QRect r = rect();
    if (look == LookFlat)
        Draw3dRect(painter, r, m_face, m_face);
    else
        Draw3dRect(painter, r, m_shadow, m_highlight);
    r.adjust(1, 1, -1, -1);
    const QColor inner = isEnabled() ? m_face : m_highlight;
    Draw3dRect(painter, r, inner, inner);
    r.adjust(1, 1, -1, -1);

    QRect button = r;
    button.setLeft(r.right() + 1 - DropButtonWidth());
    Draw3dRect(painter, button, m_face, m_face);
    button.adjust(1, 1, -1, -1);
    Draw3dRect(painter, button, m_face, m_face);

    // The arrow of the drop button.
    const QPoint c = button.center();
    const QColor arrow = isEnabled() ? palette().color(QPalette::ButtonText) : m_shadow;
    for (int i = 0; i < 4; ++i)
        painter.fillRect(QRect(c.x() - 3 + i, c.y() - 1 + i, 7 - 2 * i, 1), arrow);

    if (!isEnabled())
        return;
    switch (look) {
    case LookFlat:
        button.adjust(0, -1, 0, 1);
        Draw3dRect(painter, button, m_highlight, m_highlight);
        button.adjust(-1, 0, 0, 0);
        Draw3dRect(painter, button, m_highlight, m_highlight);
        break;
    case LookRaised: {
        button.adjust(-1, -1, 1, 1);
        const QColor frame = palette().color(QPalette::Highlight);
        Draw3dRect(painter, button, frame, frame);
        break;
    }
    case LookPressed:
        button.adjust(0, -1, 0, 1);
        button.translate(1, 1);
        Draw3dRect(painter, button, m_shadow, m_highlight);
        break;
    }
}

void CFlatColorComboBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect inner = rect().adjusted(2, 2, -2 - DropButtonWidth(), -2);
    painter.fillRect(rect().adjusted(2, 2, -2, -2), m_face);
    if (!isEditable()) {
        painter.fillRect(inner, palette().color(QPalette::Base));
        DrawItem(painter, inner, currentIndex(), hasFocus());
    }
    DrawFrame(painter, CurrentLook());
}

void CFlatColorComboBox::enterEvent(QEnterEvent* event)
{
    m_hot = true;
    update();
    QComboBox::enterEvent(event);
}

void CFlatColorComboBox::leaveEvent(QEvent* event)
{
    m_hot = false;
    update();
    QComboBox::leaveEvent(event);
}

void CFlatColorComboBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_buttonDown = true;
        update();
    }
    QComboBox::mousePressEvent(event);
}

void CFlatColorComboBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_buttonDown = false;
        update();
    }
    QComboBox::mouseReleaseEvent(event);
}

void CFlatColorComboBox::focusInEvent(QFocusEvent* event)
{
    m_focused = true;
    update();
    QComboBox::focusInEvent(event);
}

void CFlatColorComboBox::focusOutEvent(QFocusEvent* event)
{
    m_focused = false;
    m_buttonDown = false;
    update();
    QComboBox::focusOutEvent(event);
}

void CFlatColorComboBox::keyPressEvent(QKeyEvent* event)
{
    // An Alt+letter is a mnemonic of the dialog, never a search in the list.
    if (event->modifiers().testFlag(Qt::AltModifier) && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CFlatColorComboBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        ReadSystemColours();
    if (event->type() == QEvent::EnabledChange)
        update();
    QComboBox::changeEvent(event);
}

void CFlatColorComboBox::showEvent(QShowEvent* event)
{
    WireEdit();
    QComboBox::showEvent(event);
}

void CFlatColorComboBox::childEvent(QChildEvent* event)
{
    QComboBox::childEvent(event);
    if (event->type() == QEvent::ChildPolished)
        WireEdit();
}

void CFlatColorComboBox::WireEdit()
{
    QLineEdit* edit = lineEdit();
    if (!edit || edit == m_wiredEdit)
        return;
    // The type-ahead is ours; Qt's own completer would fight it.
    edit->setCompleter(nullptr);
    connect(edit, &QLineEdit::textEdited, this, &CFlatColorComboBox::OnEditUpdate);
    m_wiredEdit = edit;
}

void CFlatColorComboBox::OnEditUpdate(const QString& text)
{
    QLineEdit* edit = lineEdit();
    if (!m_autoComplete || !edit || text.isEmpty())
        return;
    const int n = static_cast<int>(text.size());
    // Typing inside the text, not at its end, is an edit the user means: no completion then.
    if (edit->cursorPosition() < n)
        return;
    const int match = findText(text, Qt::MatchStartsWith);
    if (match < 0)
        return;
    const QSignalBlocker block(edit);
    setCurrentIndex(match);
    const QString full = itemText(match);
    edit->setText(full);
    edit->setSelection(static_cast<int>(full.size()), n - static_cast<int>(full.size()));
}
