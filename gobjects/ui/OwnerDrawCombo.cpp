#include "gobjects/ui/OwnerDrawCombo.h"

#include "gobjects/geometry/GeoDrawing.h"

#include "gdi/CBrush.h"
#include "gdi/CDC.h"
#include "gdi/CFont.h"
#include "gdi/CPen.h"
#include "gdi/GdiDefs.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {

constexpr COLORREF kWindow = RGB(255, 255, 255);
constexpr COLORREF kWindowText = RGB(0, 0, 0);
constexpr COLORREF kHighlight = RGB(0, 120, 215);
constexpr COLORREF kHighlightText = RGB(255, 255, 255);

constexpr int kPictureItemHeight = 16;
constexpr int kFontItemHeight = 20;

// Paints the list's items through the combo's own DrawItem.
class OwnerDrawDelegate : public QStyledItemDelegate
{
public:
    OwnerDrawDelegate(const COwnerDrawCombo* combo, int height) : QStyledItemDelegate(nullptr), m_combo(combo), m_height(height) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->drawImage(option.rect.topLeft(), m_combo->RenderItem(index.row(), option.rect.size(), selected));
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return QSize(option.rect.width(), m_height);
    }

private:
    const COwnerDrawCombo* m_combo;
    int m_height;
};

void FocusIfSelected(CDC& dc, const RECT& rect, bool selected)
{
    if (selected)
        dc.DrawFocusRect(&rect);
}

}  // namespace

COwnerDrawCombo::COwnerDrawCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
}

QImage COwnerDrawCombo::RenderItem(int index, QSize size, bool selected) const
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    image.fill(Qt::white);
    CDC dc(image);
    const RECT rect{0, 0, size.width(), size.height()};
    DrawItem(dc, rect, index, selected);
    return image;
}

void COwnerDrawCombo::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0 && field.isValid())
        painter.drawImage(field.topLeft(), RenderItem(currentIndex(), field.size(), hasFocus()));
}

// ---------------------------------------------------------------------------------------------------------------

CLineEndCombo::CLineEndCombo(QWidget* parent) : COwnerDrawCombo(parent)
{
    setItemDelegate(new OwnerDrawDelegate(this, kPictureItemHeight));
    itemDelegate()->setParent(this);
    for (int i = 0; i < 4; ++i)
        addItem(QString());
    setCurrentIndex(0);
}

void CLineEndCombo::DrawItem(CDC& dc, const RECT& rect, int index, bool selected) const
{
    dc.FillSolidRect(&rect, kWindow);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CBrush brush(RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&pen);
    CBrush* oldBrush = dc.SelectObject(&brush);
    const int y = rect.top + (rect.bottom - rect.top) / 2 - 1;
    const int left = rect.left + 4;
    const int right = rect.right - 4;
    const int end = m_side ? left : right;
    const int other = m_side ? right : left;
    dc.MoveTo(left, y);
    dc.LineTo(right, y);
    if (index == ARROW_BAR) {
        dc.MoveTo(end, rect.top);
        dc.LineTo(end, rect.bottom);
    } else if (index == ARROW_TRIANGLE || index == ARROW_NOTCHED) {
        DrawLineEnd(&dc, static_cast<ARROW_TYPE>(index), end, y, other, y);
    }
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    FocusIfSelected(dc, rect, selected);
}

// ---------------------------------------------------------------------------------------------------------------

CLineStyleCombo::CLineStyleCombo(QWidget* parent) : COwnerDrawCombo(parent)
{
    setItemDelegate(new OwnerDrawDelegate(this, kPictureItemHeight));
    itemDelegate()->setParent(this);
    for (int i = 0; i < 5; ++i)
        addItem(QString());
    setCurrentIndex(0);
}

void CLineStyleCombo::DrawItem(CDC& dc, const RECT& rect, int index, bool selected) const
{
    dc.FillSolidRect(&rect, kWindow);
    CPen pen(index >= PS_SOLID && index <= PS_DASHDOTDOT ? index : PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&pen);
    const int y = rect.top + (rect.bottom - rect.top) / 2 - 1;
    for (int row = y; row <= y + 1; ++row) {
        dc.MoveTo(rect.left + 4, row);
        dc.LineTo(rect.right - 4, row);
    }
    dc.SelectObject(oldPen);
    FocusIfSelected(dc, rect, selected);
}

// ---------------------------------------------------------------------------------------------------------------

CFontNameCombo::CFontNameCombo(QWidget* parent) : COwnerDrawCombo(parent)
{
    setItemDelegate(new OwnerDrawDelegate(this, kFontItemHeight));
    itemDelegate()->setParent(this);
    // A font installed or removed while the page is open shows in the list at once.
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this, [this] { Fill(); });
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_faceName = itemText(index);
    });
}

void CFontNameCombo::Fill()
{
    // The faces that can show Western text, as the page's fonts are chosen for.
    FillFrom(QFontDatabase::families(QFontDatabase::Latin));
}

void CFontNameCombo::FillFrom(QStringList faces)
{
    faces.removeAll(QString());
    faces.sort(Qt::CaseInsensitive);
    faces.removeDuplicates();
    const QString wanted = m_faceName;
    {
        const QSignalBlocker block(this);
        clear();
        addItems(faces);
        setCurrentIndex(-1);
    }
    m_faceName = wanted;
    const int found = findText(wanted, Qt::MatchFixedString);  // whole text, letter case ignored
    if (!wanted.isEmpty() && found >= 0)
        setCurrentIndex(found);
    update();
}

void CFontNameCombo::SetFaceName(const QString& face)
{
    m_faceName = face;
    const int found = face.isEmpty() ? -1 : findText(face, Qt::MatchFixedString);
    if (found >= 0) {
        setCurrentIndex(found);
    } else {
        const QSignalBlocker block(this);
        setCurrentIndex(-1);
    }
}

void CFontNameCombo::DrawItem(CDC& dc, const RECT& rect, int index, bool selected) const
{
    if (index < 0 || index >= count())
        return;
    const std::string face = itemText(index).toStdString();
    CFont font;
    font.CreatePointFont(110, face.c_str());
    const COLORREF back = selected ? kHighlight : kWindow;
    CBrush brush(back);
    CPen pen(PS_SOLID, 1, back);
    CFont* oldFont = dc.SelectObject(&font);
    CBrush* oldBrush = dc.SelectObject(&brush);
    CPen* oldPen = dc.SelectObject(&pen);
    const COLORREF oldText = dc.SetTextColor(selected ? kHighlightText : kWindowText);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    dc.Rectangle(&rect);
    dc.TextOut(rect.left, rect.top, face);
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldText);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldFont);
}
