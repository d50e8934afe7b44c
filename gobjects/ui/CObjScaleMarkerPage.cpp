#include "gobjects/ui/CObjScaleMarkerPage.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectScaleMarker.h"
#include "gobjects/ui/ColorPopup.h"
#include "gobjects/ui/PageText.h"

#include "calibkeeper/CCalibKeeper.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kAnchorCount = 9;
const char* const kAnchorNames[kAnchorCount] = {"LT", "T", "RT", "L", "R", "LB", "B", "RB", "C"};

CCalibKeeper* CalibOf(CQvGObjectScaleMarker* marker)
{
    return marker && marker->GetContainer() ? marker->GetContainer()->GetCalibKeeper() : nullptr;
}

}  // namespace

CObjScaleMarkerPage::CObjScaleMarkerPage(CQvGObjectScaleMarker* marker, QWidget* parent)
    : CPropertyPage(FiguronUiText(IDS_PAGE_SCALE_MARKER), parent),
      m_marker(marker),
      m_units(new QComboBox(this)),
      m_colour(new CColorButton(this)),
      m_weight(new QSpinBox(this)),
      m_horizontal(new QRadioButton(FiguronUiText(IDS_HORIZONTAL), this)),
      m_vertical(new QRadioButton(FiguronUiText(IDS_VERTICAL), this)),
      m_scaleLength(new QLineEdit(this)),
      m_symbol(new QLabel(this)),
      m_anchors(new QButtonGroup(this))
{
    m_units->setObjectName(QStringLiteral("units"));
    m_colour->setObjectName(QStringLiteral("color"));
    m_weight->setObjectName(QStringLiteral("weight"));
    m_horizontal->setObjectName(QStringLiteral("horizontal"));
    m_vertical->setObjectName(QStringLiteral("vertical"));
    m_scaleLength->setObjectName(QStringLiteral("scaleLength"));
    m_symbol->setObjectName(QStringLiteral("scaleSymbol"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(FiguronUiText(IDS_UNITS), this), 0, 0);
    layout->addWidget(m_units, 0, 1, 1, 2);
    layout->addWidget(new QLabel(FiguronUiText(IDS_COLOR), this), 1, 0);
    layout->addWidget(m_colour, 1, 1, 1, 2);
    layout->addWidget(new QLabel(FiguronUiText(IDS_WEIGHT), this), 2, 0);
    layout->addWidget(m_weight, 2, 1, 1, 2);
    auto* direction = new QGroupBox(FiguronUiText(IDS_DIRECTION), this);
    auto* directionLayout = new QVBoxLayout(direction);
    directionLayout->addWidget(m_horizontal);
    directionLayout->addWidget(m_vertical);
    layout->addWidget(direction, 3, 0, 1, 3);
    layout->addWidget(new QLabel(FiguronUiText(IDS_SCALE_DEFAULT), this), 4, 0);
    layout->addWidget(m_scaleLength, 4, 1);
    layout->addWidget(m_symbol, 4, 2);
    layout->setRowStretch(5, 1);

    // The anchor is kept in the exchange but the user never sees its choice: placement follows the anchor the
    // marker already has.
    auto* anchorGroup = new QGroupBox(FiguronUiText(IDS_ANCHOR_GROUP), this);
    auto* anchorLayout = new QGridLayout(anchorGroup);
    for (int i = 0; i < kAnchorCount; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(kAnchorNames[i]), anchorGroup);
        radio->setObjectName(QStringLiteral("anchor%1").arg(i));
        m_anchors->addButton(radio, i);
        anchorLayout->addWidget(radio, i / 3, i % 3);
    }
    anchorGroup->hide();

    connect(m_units, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_initialised || index < 0)
            return;
        m_marker->SetCaptionUnit(index);
        if (CQvGObjectContainer* container = m_marker->GetContainer())
            container->InvalidateCanvas();
    });
}

BOOL CObjScaleMarkerPage::OnInitDialog()
{
    if (!m_marker)
        return 1;
    // The marker draws horizontally for any orientation but 0.
    (m_marker->GetOrientation() != 0 ? m_horizontal : m_vertical)->setChecked(true);
    m_colour->SetDefaultColor(m_marker->GetBarColor());
    m_colour->SetColor(m_marker->GetBarColor());
    m_colour->SetTrackSelection(true);
    if (QAbstractButton* anchor = m_anchors->button(m_marker->GetAnchor()))
        anchor->setChecked(true);
    {
        const QSignalBlocker quiet(m_units);
        m_units->clear();
        for (int i = 0; i < kUnitTypeCount; ++i)
            m_units->addItem(QString::fromStdString(CCalibKeeper::GetUnitName(CCalibKeeper::GetUnitType(i))));
        // The unit the caption shows, which a pixel caption on a calibrated image is not.
        const int unit = m_marker->GetShownCaptionUnit();
        m_units->setCurrentIndex(unit >= 0 && unit < kUnitTypeCount ? unit : -1);
    }
    if (const CCalibKeeper* calib = CalibOf(m_marker)) {
        m_scaleLength->setText(QString::number(calib->GetScaleLength()));
        m_symbol->setText(QString::fromUtf8(CCalibKeeper::GetSymbolString(calib->GetUnit())));
    }
    m_initialised = true;
    return 1;
}

void CObjScaleMarkerPage::OnOK()
{
    if (!m_marker || !m_initialised)
        return;
    // A stored orientation the user left as it was stays exactly as it was.
    if (m_horizontal->isChecked() != (m_marker->GetOrientation() != 0))
        m_marker->SetOrientation(m_horizontal->isChecked() ? 1 : 0);
    // "Automatic" stands for the colour the marker had.
    m_marker->SetBarColor(m_colour->SwatchColour());
    if (m_anchors->checkedId() >= 0)
        m_marker->SetAnchor(m_anchors->checkedId());
    m_marker->SetFollowFlag(1);
    if (m_units->currentIndex() >= 0)
        m_marker->SetCaptionUnit(m_units->currentIndex());
    CQvGObjectContainer* container = m_marker->GetContainer();
    if (container)
        container->SetDefaultProperty(m_marker, SHAPE_SCALE_MARKER);
    // A bar needs a length: what is not a positive whole number leaves the calibration's length as it was.
    if (CCalibKeeper* calib = CalibOf(m_marker)) {
        bool ok = false;
        const int length = QLocale::c().toInt(m_scaleLength->text().trimmed(), &ok);
        if (ok && length > 0)
            calib->SetScaleLength(length);
    }
}
