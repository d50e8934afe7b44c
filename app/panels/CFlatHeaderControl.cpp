#include "panels/CFlatHeaderControl.h"

#include <QAbstractItemModel>

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QStyle>
#include <algorithm>
#include <cstdlib>

namespace {

QColor Face(const QWidget& w)
{
    return w.palette().color(QPalette::Button);
}
QColor Highlight(const QWidget& w)
{
    return w.palette().color(QPalette::Light);
}
QColor ShadowColour(const QWidget& w)
{
    return w.palette().color(QPalette::Dark);
}

// Top and left edges in `topLeft`, right and bottom edges in `bottomRight`.
void Draw3dRect(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

constexpr int kDropWidth = 12;

// Two arrows, one pointing down at the top and one pointing up at the bottom, around a drop line at x = 6.
QRegion DropArrows(int h)
{
    const QPolygon down(
        {QPoint(8, 0), QPoint(8, 4), QPoint(11, 4), QPoint(6, 9), QPoint(1, 4), QPoint(4, 4), QPoint(4, 0)});
    const QPolygon up({QPoint(4, h), QPoint(4, h - 4), QPoint(0, h - 4), QPoint(6, h - 10), QPoint(12, h - 4),
                       QPoint(8, h - 4), QPoint(8, h)});
    return QRegion(down).united(QRegion(up));
}

}  // namespace

CFlatHeaderControl::CFlatHeaderControl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    // Moving is ours: Qt's own section moving has no removal and no veto.
    setSectionsMovable(false);
    setSectionsClickable(true);
    setMouseTracking(true);
    connect(this, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (logical < 0 || logical >= static_cast<int>(m_records.size()))
            return;
        const tagHDITEMEX& r = m_records[logical];
        if (r.iMaxWidth < r.iMinWidth)
            return;
        const int limited = std::clamp(size, r.iMinWidth, r.iMaxWidth);
        if (limited != size)
            resizeSection(logical, limited);
    });
}

CFlatHeaderControl::~CFlatHeaderControl() = default;

void CFlatHeaderControl::setModel(QAbstractItemModel* newModel)
{
    if (model())
        disconnect(model(), nullptr, this, nullptr);
    QHeaderView::setModel(newModel);
    m_records.clear();
    SyncRecords();
    if (!newModel)
        return;
    connect(newModel, &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (parent.isValid())
                    return;
                first = std::clamp(first, 0, static_cast<int>(m_records.size()));
                m_records.insert(m_records.begin() + first, static_cast<size_t>(last - first + 1), tagHDITEMEX{});
                SyncRecords();
            });
    connect(newModel, &QAbstractItemModel::columnsRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (parent.isValid() || first >= static_cast<int>(m_records.size()))
                    return;
                last = std::min(last, static_cast<int>(m_records.size()) - 1);
                m_records.erase(m_records.begin() + first, m_records.begin() + last + 1);
                SyncRecords();
            });
    connect(newModel, &QAbstractItemModel::modelReset, this, [this] {
        m_records.clear();
        SyncRecords();
    });
}

int CFlatHeaderControl::ColumnCount() const
{
    return model() ? model()->columnCount(rootIndex()) : 0;
}

void CFlatHeaderControl::SyncRecords()
{
    m_records.resize(static_cast<size_t>(std::max(0, ColumnCount())));
}

int CFlatHeaderControl::SetProperty(int type, qintptr value)
{
    switch (type) {
    case PropSpacing: m_spacing = static_cast<int>(value); break;
    case PropSortArrowSize:
        m_arrowWidth = static_cast<int>(value & 0xFFFF);
        m_arrowHeight = static_cast<int>((value >> 16) & 0xFFFF);
        break;
    case PropExtraBorder: m_extraBorder = value != 0; break;
    case PropRemoveCursor: m_removeCursor = QCursor(static_cast<Qt::CursorShape>(value)); break;
    case PropRemovalWindow: m_removalWindow = reinterpret_cast<QWidget*>(value); break;
    default: return 0;
    }
    viewport()->update();
    return 1;
}

int CFlatHeaderControl::GetItemEx(int index, tagHDITEMEX& record) const
{
    if (index < 0 || index >= static_cast<int>(m_records.size()))
        return 0;
    record = m_records[index];
    return 1;
}

int CFlatHeaderControl::SetItemEx(int index, const tagHDITEMEX& record)
{
    if (index < 0 || index >= static_cast<int>(m_records.size()))
        return 0;
    m_records[index] = record;
    setSectionResizeMode(index, (record.nStyle & HDF_EX_FIXEDWIDTH) ? Fixed : Interactive);
    if (record.iMaxWidth >= record.iMinWidth)
        resizeSection(index, std::clamp(sectionSize(index), record.iMinWidth, record.iMaxWidth));
    return 1;
}

QSize CFlatHeaderControl::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    if (m_extraBorder)
        size.rwidth() += 2;
    return size;
}

void CFlatHeaderControl::DrawItem(QPainter& painter, const QRect& rect, int logical, bool sorted, bool ascending) const
{
    if (!model() || rect.width() <= 0)
        return;
    const QString text = model()->headerData(logical, orientation(), Qt::DisplayRole).toString();
    const QVariant alignData = model()->headerData(logical, orientation(), Qt::TextAlignmentRole);
    const Qt::Alignment align =
        alignData.isValid() ? Qt::Alignment(alignData.toInt()) & Qt::AlignHorizontal_Mask : Qt::AlignLeft;
    QRect textRect = rect;
    // The item's image comes first, followed by the spacing like every part.
    const QVariant decoration = model()->headerData(logical, orientation(), Qt::DecorationRole);
    QPixmap image;
    if (decoration.canConvert<QIcon>())
        image = decoration.value<QIcon>().pixmap(QSize(rect.height() - 4, rect.height() - 4));
    else if (decoration.canConvert<QPixmap>())
        image = decoration.value<QPixmap>();
    if (!image.isNull()) {
        const int top = rect.top() + (rect.height() - image.height()) / 2;
        painter.drawPixmap(rect.left(), top, image);
        textRect.setLeft(rect.left() + image.width() + m_spacing);
    }
    if (sorted)
        textRect.setRight(rect.right() - m_arrowWidth - m_spacing);
    const QFontMetrics metrics(font());
    const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max(0, textRect.width()));
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(textRect, int(align) | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    if (!sorted)
        return;
    // The arrow follows the text.
    const int textEnd = std::min(textRect.right(), textRect.left() + metrics.horizontalAdvance(shown));
    const int left = (align & Qt::AlignLeft) ? textEnd + m_spacing : rect.right() - m_arrowWidth;
    const int top = rect.top() + (rect.height() - m_arrowHeight) / 2;
    const int w = m_arrowWidth;
    const int h = m_arrowHeight;
    const QPoint apex = ascending ? QPoint(left + w / 2, top) : QPoint(left + w / 2, top + h);
    const QPoint a = ascending ? QPoint(left, top + h) : QPoint(left, top);
    const QPoint b = ascending ? QPoint(left + w, top + h) : QPoint(left + w, top);
    painter.setPen(ShadowColour(*this));
    painter.drawLine(a, apex);
    painter.setPen(Highlight(*this));
    painter.drawLine(apex, b);
    painter.drawLine(b, a);
}

void CFlatHeaderControl::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Face(*this));
    painter.setFont(font());
    const int n = count();
    int lastVisible = -1;
    for (int v = 0; v < n; ++v)
        if (!isSectionHidden(logicalIndex(v)))
            lastVisible = v;
    const bool pressedLook = m_pressed >= 0 && m_pressOnBody && (QApplication::mouseButtons() & Qt::LeftButton);
    for (int v = 0; v < n; ++v) {
        const int logical = logicalIndex(v);
        if (isSectionHidden(logical))
            continue;
        const QRect item(sectionViewportPosition(logical), 0, sectionSize(logical), viewport()->height());
        if (!item.intersects(event->rect()))
            continue;
        const bool sorted = isSortIndicatorShown() && sortIndicatorSection() == logical;
        DrawItem(painter, item.adjusted(m_spacing, 0, -m_spacing, 0), logical, sorted,
                 sortIndicatorOrder() == Qt::AscendingOrder);
        if (pressedLook && logical == m_pressed && !m_dragging) {
            painter.save();
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillRect(item, Qt::white);
            painter.restore();
        }
        if (v != lastVisible) {
            const int right = item.left() + item.width();
            painter.fillRect(QRect(right - 1, 2, 1, item.height() - 4), ShadowColour(*this));
            painter.fillRect(QRect(right, 2, 1, item.height() - 4), Highlight(*this));
        }
    }
    const int total = length() - offset();
    if (total > 0)
        Draw3dRect(painter, QRect(0, 0, std::min(total, viewport()->width()), viewport()->height()), Highlight(*this),
                   ShadowColour(*this));
}

namespace {

// The logical column whose divider (right edge) is under `x`, or -1.
int DividerAt(const QHeaderView& header, int x)
{
    const int grip = header.style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, &header);
    for (int v = 0; v < header.count(); ++v) {
        const int logical = header.logicalIndex(v);
        if (header.isSectionHidden(logical))
            continue;
        const int right = header.sectionViewportPosition(logical) + header.sectionSize(logical);
        if (std::abs(x - right) <= grip)
            return logical;
    }
    return -1;
}

}  // namespace

void CFlatHeaderControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QHeaderView::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    m_pressPoint = pos;
    const int divider = DividerAt(*this, pos.x());
    if (divider >= 0) {
        m_pressed = -1;
        m_pressOnBody = false;
        if (divider < static_cast<int>(m_records.size()) && (m_records[divider].nStyle & HDF_EX_FIXEDWIDTH))
            return;  // a fixed column keeps its width
        QHeaderView::mousePressEvent(event);
        return;
    }
    m_pressed = logicalIndexAt(pos);
    m_pressOnBody = m_pressed >= 0;
    viewport()->update();
    QHeaderView::mousePressEvent(event);
}

void CFlatHeaderControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int divider = DividerAt(*this, event->position().toPoint().x());
    if (divider >= 0 && divider < static_cast<int>(m_records.size()) && (m_records[divider].nStyle & HDF_EX_FIXEDWIDTH))
        return;
    QHeaderView::mouseDoubleClickEvent(event);
}

void CFlatHeaderControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QPoint globalPos = event->globalPosition().toPoint();
    if (m_dragging) {
        TrackDrag(pos, globalPos);
        return;
    }
    if ((event->buttons() & Qt::LeftButton) && m_pressOnBody && m_pressed > 0 && m_dragDrop &&
        (pos - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
        StartDrag(globalPos);
        if (m_dragging) {
            TrackDrag(pos, globalPos);
            return;
        }
    }
    QHeaderView::mouseMoveEvent(event);
}

void CFlatHeaderControl::StartDrag(const QPoint& globalPos)
{
    if (m_notify.beginDrag && m_notify.beginDrag(m_pressed)) {
        m_pressOnBody = false;  // vetoed: this press drags no more
        return;
    }
    const QRect item(sectionViewportPosition(m_pressed), 0, sectionSize(m_pressed), viewport()->height());
    QPixmap picture(item.size());
    picture.fill(Face(*this));
    {
        QPainter painter(&picture);
        painter.setFont(font());
        const QRect local(QPoint(0, 0), item.size());
        DrawItem(painter, local.adjusted(m_spacing, 0, -m_spacing, 0), m_pressed,
                 isSortIndicatorShown() && sortIndicatorSection() == m_pressed,
                 sortIndicatorOrder() == Qt::AscendingOrder);
        Draw3dRect(painter, local, Highlight(*this), ShadowColour(*this));
    }
    auto* window = new QLabel;
    window->setObjectName(QStringLiteral("flatHeaderDragWindow"));
    window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setEnabled(false);
    window->setPixmap(picture);
    window->setGeometry(QRect(viewport()->mapToGlobal(item.topLeft()), item.size()));
    m_dragWindow.reset(window);
    window->show();

    m_removalRect = QRect();
    if (m_removalWindow && m_removalWindow->isVisible())
        m_removalRect = QRect(m_removalWindow->mapToGlobal(QPoint(0, 0)), m_removalWindow->size());
    m_dragging = true;
    Q_UNUSED(globalPos);
}

void CFlatHeaderControl::TrackDrag(const QPoint& pos, const QPoint& globalPos)
{
    if (m_dragWindow)
        m_dragWindow->move(globalPos - QPoint(m_dragWindow->width() / 2, m_dragWindow->height() / 2));

    int drop = -1;
    const bool overHeader = viewport()->rect().contains(pos);
    const int over = overHeader ? logicalIndexAt(pos.x()) : -1;
    if (overHeader) {
        // Coming back over the header cancels a removal.
        m_outside = 0;
        m_markedForRemoval = false;
        if (over >= 0) {
            const int centre = sectionViewportPosition(over) + sectionSize(over) / 2;
            drop = visualIndex(over) + (pos.x() > centre ? 1 : 0);
        }
        viewport()->setCursor(Qt::ArrowCursor);
    } else if (m_removalRect.contains(globalPos)) {
        m_outside = 1;
        m_markedForRemoval = false;
        viewport()->setCursor(Qt::ArrowCursor);
    } else {
        m_outside = -1;
        m_markedForRemoval = true;
        viewport()->setCursor(m_removeCursor);
    }
    const int own = visualIndex(m_pressed);
    if (drop == own || drop == own + 1)
        drop = -1;
    m_dropPosition = drop;
    ShowDropMark(drop);
}

void CFlatHeaderControl::ShowDropMark(int position)
{
    if (position < 0 || position > count()) {
        m_dropWindow.reset();
        return;
    }
    const int h = height() + 20;
    if (!m_dropWindow) {
        auto* window = new QWidget;
        window->setObjectName(QStringLiteral("flatHeaderDropWindow"));
        window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput);
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        QPalette pal = window->palette();
        pal.setColor(QPalette::Window, QColor(GetRValue(m_dropColor), GetGValue(m_dropColor), GetBValue(m_dropColor)));
        window->setPalette(pal);
        window->setAutoFillBackground(true);
        window->resize(kDropWidth, h);
        window->setMask(DropArrows(h));
        m_dropWindow.reset(window);
    }
    // The drop line: the left edge of the item at that position, or the right edge of the last one.
    int x = 0;
    if (position < count()) {
        x = sectionViewportPosition(logicalIndex(position));
    } else {
        const int last = logicalIndex(count() - 1);
        x = sectionViewportPosition(last) + sectionSize(last);
    }
    // The arrows' tips sit on the drop line.
    const QPoint line = viewport()->mapToGlobal(QPoint(x, viewport()->height() / 2));
    m_dropWindow->move(line.x() - kDropWidth / 2, line.y() - h / 2);
    m_dropWindow->show();
}

void CFlatHeaderControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QHeaderView::mouseReleaseEvent(event);
        return;
    }
    const int pressed = m_pressed;
    const bool wasDragging = m_dragging;
    if (wasDragging) {
        const int drop = m_dropPosition;
        const bool vetoed = m_notify.endDrag && m_notify.endDrag(pressed, drop);
        if (!vetoed && drop >= 0 && drop <= count()) {
            const int from = visualIndex(pressed);
            moveSection(from, drop > from ? drop - 1 : drop);
        } else if (!vetoed && m_markedForRemoval) {
            const bool removed = m_notify.removeColumn ? m_notify.removeColumn(pressed)
                                                       : (model() && model()->removeColumn(pressed, rootIndex()));
            Q_UNUSED(removed);
        }
        EndDrag();
        // Let the base view end its press without taking the drop for a click.
        QMouseEvent away(QEvent::MouseButtonRelease, QPointF(-10000, -10000), event->globalPosition(), Qt::LeftButton,
                         Qt::NoButton, event->modifiers());
        QHeaderView::mouseReleaseEvent(&away);
    } else {
        QHeaderView::mouseReleaseEvent(event);
    }
    m_pressed = -1;
    m_pressOnBody = false;
    viewport()->update();
    if (pressed >= 0 && m_notify.buttonReleased)
        m_notify.buttonReleased();
}

void CFlatHeaderControl::EndDrag()
{
    m_dragWindow.reset();
    m_dropWindow.reset();
    m_dragging = false;
    m_markedForRemoval = false;
    m_outside = 0;
    m_dropPosition = -1;
    viewport()->unsetCursor();
}
