#include "latticer/CGridDlg.h"

#include "latticer/ColourSwatch.h"
#include "latticer/GapBox.h"
#include "latticer/KindButton.h"
#include "latticer/StepperBox.h"

#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/ColourDialog.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdlib>

namespace {

const char* const kModule = "Latticer";
constexpr uint32_t kTooSmall = 1;
// The dialog's own texts.
constexpr uint32_t kTitle = 10;
constexpr uint32_t kPropertyGroup = 11;
constexpr uint32_t kWeight = 12;
constexpr uint32_t kColour = 13;
constexpr uint32_t kGap = 14;
constexpr uint32_t kDecimalPoint = 15;
constexpr uint32_t kOk = 16;
constexpr uint32_t kCancel = 17;
constexpr uint32_t kApply = 18;
constexpr uint32_t kErrorCaption = 19;
const StringTableRegistrar kStrings(kModule, {
    {kTooSmall, "Too small!!"},
    {kTitle, "Grid"},
    {kPropertyGroup, "Property"},
    {kWeight, "Weight"},
    {kColour, "Color"},
    {kGap, "Gap"},
    {kDecimalPoint, "Decimal\nPoint"},
    {kOk, "OK"},
    {kCancel, "Cancel"},
    {kApply, "Apply"},
    {kErrorCaption, "Error"},
});

QString Text(uint32_t id)
{
    return QString::fromStdString(LoadString(kModule, id));
}

constexpr int kFirstKindId = 100;
constexpr double kMinimumPixels = 10.0;

QString ControlName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

// "%f" without the zeros after the point (and without a bare point).
QString GapText(float gap)
{
    std::string shown = Format("%f", static_cast<double>(gap));
    if (shown.find('.') != std::string::npos) {
        shown.erase(shown.find_last_not_of('0') + 1);
        if (shown.back() == '.')
            shown.pop_back();
    }
    return QString::fromStdString(shown);
}

}  // namespace

CGridDlg::CGridDlg(QWidget* parent, CLatticer* overlay)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_parent(parent),
      m_overlay(overlay),
      m_backup(*overlay),
      m_chosenColour(overlay->GetLineColor())
{
    setWindowTitle(Text(kTitle));
    setFont(QFont(QStringLiteral("Tahoma"), 10));
    BuildControls();

    for (size_t k = 0; k < m_kindButtons.size(); ++k)
        m_kindButtons[k]->setChecked(m_backup.type & (1 << k));
    m_weight->setValue(m_backup.GetWeight());
    m_decimals->setValue(m_backup.GetDecimal());
    m_swatch->SetColour(m_chosenColour);
    SetGap(m_overlay->GetGap());

    // Connected last, so that filling the fields above changes nothing.
    for (KindButton* button : m_kindButtons)
        connect(button, &QAbstractButton::clicked, this, &CGridDlg::ApplyKinds);
    connect(m_weight, &StepperBox::stepped, this, [this] {
        m_overlay->SetWeight(std::atoi(m_weight->text().toLatin1().constData()));
        RepaintParent();
    });
    connect(m_decimals, &StepperBox::stepped, this, [this] {
        m_overlay->SetDecimal(std::atoi(m_decimals->text().toLatin1().constData()));
        RepaintParent();
    });
    connect(m_gap, &GapBox::stepRequested, this, &CGridDlg::StepGap);
    connect(m_swatch, &QAbstractButton::clicked, this, &CGridDlg::ChooseLineColour);
}

void CGridDlg::BuildControls()
{
    auto* kinds = new QHBoxLayout;
    kinds->setSpacing(0);
    kinds->addStretch();
    QIcon icons[6];
    CLatticer::GetIcon(icons);
    for (int k = 0; k < CLatticer::GetTypeNum(); ++k) {
        auto* button = new KindButton(icons[k], this);
        button->setObjectName(ControlName(kFirstKindId + k));
        kinds->addWidget(button);
        m_kindButtons.push_back(button);
    }
    kinds->addStretch();

    m_weight = new StepperBox(1, 5, this);
    m_weight->setObjectName(ControlName(1001));
    m_swatch = new ColourSwatch(this);
    m_swatch->setObjectName(ControlName(1003));
    m_gap = new GapBox(this);
    m_gap->setObjectName(ControlName(1004));
    m_decimals = new StepperBox(0, 10, this);
    m_decimals->setObjectName(ControlName(1006));

    auto* property = new QGroupBox(Text(kPropertyGroup), this);
    auto* fields = new QGridLayout(property);
    fields->addWidget(new QLabel(Text(kWeight), property), 0, 0);
    fields->addWidget(m_weight, 0, 1);
    fields->addWidget(new QLabel(Text(kColour), property), 1, 0);
    fields->addWidget(m_swatch, 1, 1);
    fields->addWidget(new QLabel(Text(kGap), property), 2, 0);
    fields->addWidget(m_gap, 2, 1);
    fields->addWidget(new QLabel(Text(kDecimalPoint), property), 3, 0);
    fields->addWidget(m_decimals, 3, 1);

    auto* ok = new QPushButton(Text(kOk), this);
    ok->setObjectName(ControlName(1));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Text(kCancel), this);
    cancel->setObjectName(ControlName(2));
    auto* apply = new QPushButton(Text(kApply), this);
    apply->setObjectName(ControlName(3));
    connect(ok, &QPushButton::clicked, this, &CGridDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CGridDlg::reject);
    connect(apply, &QPushButton::clicked, this, [this] {
        ApplyTypedFields();
        RepaintParent();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(apply);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kinds);
    layout->addWidget(property);
    layout->addLayout(buttons);
}

int CGridDlg::DoModal()
{
    return RunModal(*this) == QDialog::Accepted ? 1 : 0;
}

void CGridDlg::SetGap(float gap)
{
    m_gap->SetText(GapText(gap));
    m_overlay->SetGap(gap);
    RepaintParent();
}

void CGridDlg::accept()
{
    ApplyTypedFields();
    QDialog::accept();
}

void CGridDlg::reject()
{
    *m_overlay = m_backup;
    RepaintParent();
    QDialog::reject();
}

void CGridDlg::ApplyKinds()
{
    int kinds = 0;
    for (size_t k = 0; k < m_kindButtons.size(); ++k) {
        if (m_kindButtons[k]->isChecked())
            kinds |= 1 << k;
    }
    m_overlay->SetType(kinds);
    RepaintParent();
}

// Typed decimals are not taken here: only their stepper applies them.
void CGridDlg::ApplyTypedFields()
{
    m_overlay->SetWeight(std::atoi(m_weight->text().toLatin1().constData()));
    m_overlay->SetGap(static_cast<float>(ParseDouble(m_gap->text().toLatin1().constData())));
    m_overlay->SetLineColor(m_chosenColour);
    ApplyKinds();
}

// One step moves the spacing by one image pixel; below ten pixels the spacing is refused and set to ten.
void CGridDlg::StepGap(int steps)
{
    const double upp = m_overlay->GetUPP();
    if (!(upp > 0.0) || !std::isfinite(upp))
        return;
    const double typed = ParseDouble(m_gap->text().toLatin1().constData());
    const double stepped = steps > 0 ? typed + upp : typed - upp;
    if (stepped / upp >= kMinimumPixels) {
        SetGap(static_cast<float>(stepped));
        return;
    }
    MessageBox(LoadString(kModule, kTooSmall), LoadString(kModule, kErrorCaption), MB_ICONWARNING);
    SetGap(static_cast<float>(upp * kMinimumPixels));
}

void CGridDlg::ChooseLineColour()
{
    // The custom colours start white every time, whatever was picked before.
    CustomColours white;
    white.fill(RGB(255, 255, 255));
    const std::optional<COLORREF> chosen = ChooseColour(m_overlay->GetLineColor(), white);
    if (!chosen)
        return;
    m_chosenColour = *chosen;
    m_overlay->SetLineColor(*chosen);
    m_swatch->SetColour(*chosen);
    RepaintParent();
}

void CGridDlg::RepaintParent()
{
    if (m_parent)
        m_parent->update();
}

int GridProperty(QWidget* parent, CLatticer* overlay)
{
    CGridDlg dialog(parent, overlay);
    return dialog.DoModal();
}
