#include "frame/ColourPopupButton.h"

#include "ui/ColourDialog.h"

#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace {

QColor ToQColor(COLORREF colour) { return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

}  // namespace

const COLORREF ColourPopupButton::kPalette[40] = {
    RGB(0, 0, 0),       RGB(153, 51, 0),    RGB(51, 51, 0),     RGB(0, 51, 0),      RGB(0, 51, 102),
    RGB(0, 0, 128),     RGB(51, 51, 153),   RGB(51, 51, 51),    RGB(128, 0, 0),     RGB(255, 102, 0),
    RGB(128, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 128),   RGB(0, 0, 255),     RGB(102, 102, 153),
    RGB(128, 128, 128), RGB(255, 0, 0),     RGB(255, 153, 0),   RGB(153, 204, 0),   RGB(51, 153, 102),
    RGB(51, 204, 204),  RGB(51, 102, 255),  RGB(128, 0, 128),   RGB(153, 153, 153), RGB(255, 0, 255),
    RGB(255, 204, 0),   RGB(255, 255, 0),   RGB(0, 255, 0),     RGB(0, 255, 255),   RGB(0, 204, 255),
    RGB(153, 51, 102),  RGB(192, 192, 192), RGB(255, 153, 204), RGB(255, 204, 153), RGB(255, 255, 153),
    RGB(204, 255, 204), RGB(204, 255, 255), RGB(153, 204, 255), RGB(204, 153, 255), RGB(255, 255, 255),
};

ColourPopupButton::ColourPopupButton(const QString& glyph, const QString& automaticText, const QString& moreText,
                                     QWidget* parent)
    : QToolButton(parent), m_glyph(glyph)
{
    setPopupMode(QToolButton::MenuButtonPopup);
    setAutoRaise(true);

    auto* menu = new QMenu(this);
    auto* grid = new QWidget(menu);
    auto* layout = new QVBoxLayout(grid);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* automatic = new QPushButton(automaticText, grid);
    automatic->setObjectName("automatic");
    automatic->setFlat(true);
    layout->addWidget(automatic);
    connect(automatic, &QPushButton::clicked, this, [this, menu] {
        menu->close();
        Pick(CLR_AUTOMATIC);
    });

    auto* swatches = new QGridLayout;
    swatches->setSpacing(2);
    for (int i = 0; i < 40; ++i) {
        const COLORREF colour = kPalette[i];
        auto* swatch = new QToolButton(grid);
        swatch->setObjectName(QString("colour_%1").arg(colour, 6, 16, QLatin1Char('0')));
        swatch->setFixedSize(18, 18);
        swatch->setAutoRaise(true);
        QPixmap pixmap(14, 14);
        pixmap.fill(ToQColor(colour));
        {
            QPainter painter(&pixmap);
            painter.setPen(QColor(128, 128, 128));
            painter.drawRect(0, 0, 13, 13);
        }
        swatch->setIcon(QIcon(pixmap));
        connect(swatch, &QToolButton::clicked, this, [this, menu, colour] {
            menu->close();
            Pick(colour);
        });
        swatches->addWidget(swatch, i / 8, i % 8);
    }
    layout->addLayout(swatches);

    auto* more = new QPushButton(moreText, grid);
    more->setObjectName("more");
    more->setFlat(true);
    layout->addWidget(more);
    connect(more, &QPushButton::clicked, this, [this, menu] {
        menu->close();
        if (const auto chosen = ChooseColour(m_colour == CLR_AUTOMATIC ? RGB(0, 0, 0) : m_colour))
            Pick(*chosen);
    });

    auto* gridAction = new QWidgetAction(menu);
    gridAction->setDefaultWidget(grid);
    menu->addAction(gridAction);
    setMenu(menu);

    connect(this, &QToolButton::clicked, this, [this] {
        if (onApply)
            onApply();
    });
    RefreshIcon();
}

void ColourPopupButton::SetColour(COLORREF colour)
{
    m_colour = colour;
    RefreshIcon();
}

void ColourPopupButton::Pick(COLORREF colour)
{
    SetColour(colour);
    if (onPicked)
        onPicked(colour);
}

void ColourPopupButton::RefreshIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(40, 48, 64), 2.5));
        if (m_glyph.isEmpty()) {
            painter.drawLine(QPointF(7, 21), QPointF(23, 5));
            painter.setBrush(QColor(40, 48, 64));
            painter.drawPolygon(QPolygonF{{5, 23}, {7, 18}, {10, 21}});
        } else {
            QFont font;
            font.setBold(true);
            font.setPixelSize(20);
            painter.setFont(font);
            painter.drawText(QRectF(0, 0, 32, 24), Qt::AlignCenter, m_glyph);
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        const QRect bar(3, 25, 26, 6);
        if (m_colour == CLR_AUTOMATIC) {
            // Automatic: the object's own colour decides, shown as an empty bar.
            painter.setPen(QColor(110, 110, 110));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(bar.adjusted(0, 0, -1, -1));
        } else {
            painter.setPen(Qt::NoPen);
            painter.fillRect(bar, ToQColor(m_colour));
        }
    }
    setIcon(QIcon(pixmap));
}
