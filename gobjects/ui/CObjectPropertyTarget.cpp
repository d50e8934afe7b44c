#include "gobjects/ui/CObjectPropertyTarget.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/FiguronStrings.h"
#include "gobjects/shapes/CQvGObjectTarget.h"
#include "gobjects/ui/PageText.h"

#include "calibkeeper/CCalibKeeper.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

CObjectPropertyTarget::CObjectPropertyTarget(CQvGObjectTarget* target, QWidget* parent)
    : CPropertyPage(FiguronUiText(IDS_PAGE_TARGET), parent),
      m_target(target),
      m_gap(new QLineEdit(this)),
      m_up(new QToolButton(this)),
      m_down(new QToolButton(this)),
      m_unit(new QLabel(QStringLiteral("mm"), this)),
      m_circle(new QCheckBox(FiguronUiText(IDS_TARGET_CIRCLE), this)),
      m_rectangle(new QCheckBox(FiguronUiText(IDS_TARGET_RECTANGLE), this))
{
    m_gap->setObjectName(QStringLiteral("gap"));
    m_up->setObjectName(QStringLiteral("gapUp"));
    m_down->setObjectName(QStringLiteral("gapDown"));
    m_unit->setObjectName(QStringLiteral("gapUnit"));
    m_circle->setObjectName(QStringLiteral("circle"));
    m_rectangle->setObjectName(QStringLiteral("rectangle"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_gap->installEventFilter(this);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(FiguronUiText(IDS_GAP), this), 0, 0);
    layout->addWidget(m_gap, 0, 1);
    layout->addWidget(m_up, 0, 2);
    layout->addWidget(m_down, 0, 3);
    layout->addWidget(m_unit, 0, 4);
    layout->addWidget(new QLabel(FiguronUiText(IDS_SHAPE), this), 1, 0);
    layout->addWidget(m_circle, 1, 1);
    layout->addWidget(m_rectangle, 1, 2, 1, 3);
    layout->setRowStretch(2, 1);
}

std::string CObjectPropertyTarget::FormatGap(double gap)
{
    std::string text = QString::number(gap, 'f', 6).toStdString();
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    return text;
}

double CObjectPropertyTarget::EditValue() const
{
    // Like atof: what does not read as a number is 0, which the gap rule then refuses.
    bool ok = false;
    const double value = QLocale::c().toDouble(m_gap->text().trimmed(), &ok);
    return ok ? value : 0.0;
}

BOOL CObjectPropertyTarget::OnInitDialog()
{
    if (!m_target)
        return 1;
    m_saved = true;
    m_savedGap = m_target->GetGap();
    m_savedFactor = m_target->GetCalibrationFactor();
    const CQvGObjectContainer* container = m_target->GetContainer();
    const CQvGObjectPropertyTotal* defaults = container ? container->GetBaseProperty() : nullptr;
    m_savedDefaults = defaults != nullptr;
    if (defaults) {
        m_savedProperty = defaults->GetProperty(SHAPE_TARGET);
        m_savedDefaultGap = defaults->GetTargetGap();
        m_savedDefaultFactor = defaults->GetTargetFactor();
        m_savedDefaultFlags = defaults->GetTargetFlags();
    }
    m_gap->setText(QString::fromStdString(FormatGap(m_target->GetCurrentGap())));
    const CCalibKeeper* calib = m_target->GetContainer() ? m_target->GetContainer()->GetCalibKeeper() : nullptr;
    m_unit->setText(QString::fromStdString(CCalibKeeper::GetUnitName(calib ? calib->GetUnit() : UNIT_PIXEL)));
    m_circle->setChecked(m_target->GetShapeFlags() & CQvGObjectTarget::kCircles);
    m_rectangle->setChecked(m_target->GetShapeFlags() & CQvGObjectTarget::kSquares);
    return 1;
}

void CObjectPropertyTarget::ApplyGap(double gap)
{
    if (!m_target)
        return;
    if (!m_target->SetGap(gap))
        AfxMessageBox(LoadFiguronString(IDS_TOO_SMALL));
    m_gap->setText(QString::fromStdString(FormatGap(m_target->GetGap())));
}

void CObjectPropertyTarget::Step(int direction)
{
    if (!m_target || m_gap->text().isEmpty())
        return;
    const double step = m_target->GetCalibrationFactor();
    ApplyGap(EditValue() + (direction > 0 ? step : -step));
}

bool CObjectPropertyTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_gap && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return CPropertyPage::eventFilter(watched, event);
}

void CObjectPropertyTarget::OnOK()
{
    if (!m_target)
        return;
    ApplyGap(EditValue());
    int32_t flags = m_target->GetShapeFlags() & ~(CQvGObjectTarget::kCircles | CQvGObjectTarget::kSquares);
    if (m_circle->isChecked())
        flags |= CQvGObjectTarget::kCircles;
    if (m_rectangle->isChecked())
        flags |= CQvGObjectTarget::kSquares;
    m_target->SetShapeFlags(flags);
    // The ring shapes chosen here belong to the defaults as much as the gap does.
    if (CQvGObjectContainer* container = m_target->GetContainer())
        container->SetLatestProperty(m_target, SHAPE_TARGET);
}

void CObjectPropertyTarget::OnCancel()
{
    if (!m_target || !m_saved)
        return;
    m_target->RestoreGap(m_savedGap, m_savedFactor);
    const CQvGObjectContainer* container = m_target->GetContainer();
    CQvGObjectPropertyTotal* defaults = container ? container->GetBaseProperty() : nullptr;
    if (m_savedDefaults && defaults) {
        defaults->GetProperty(SHAPE_TARGET) = m_savedProperty;
        defaults->SetTargetGap(m_savedDefaultGap);
        defaults->SetTargetFactor(m_savedDefaultFactor);
        defaults->SetTargetFlags(m_savedDefaultFlags);
    }
}
