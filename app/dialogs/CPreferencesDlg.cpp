#include "dialogs/CPreferencesDlg.h"

#include "core/ProgramObjects.h"
#include "document/CVistrelDoc.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "view/CVistrelView.h"

#include "profile/CAppProfile.h"
#include "ui/ModalDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Id(int id)
{
    return QString::number(id);
}

QCheckBox* AddCheck(QGridLayout* grid, int id, const char* caption, int row, int column)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption));
    box->setObjectName(Id(id));
    grid->addWidget(box, row, column);
    return box;
}

}  // namespace

CPreferencesDlg::CPreferencesDlg(const PreferenceSettings& values, QWidget* parent)
    : QDialog(parent), m_values(values)
{
    setObjectName("820");
    setWindowTitle(QString::fromUtf8("환경설정"));

    auto* display = new QGroupBox(QString::fromUtf8("개체 표시"));
    auto* checks = new QGridLayout(display);
    m_name = AddCheck(checks, kNameCheck, "이름", 0, 0);
    m_data = AddCheck(checks, kDataCheck, "값", 0, 1);
    m_mark = AddCheck(checks, kMarkCheck, "단위", 0, 2);
    m_realtime = AddCheck(checks, kRealtimeCheck, "실시간 결과", 1, 0);
    m_autoColour = AddCheck(checks, kAutoColourCheck, "자동 색상 전환", 1, 1);
    m_scaleBar = AddCheck(checks, kScaleBarCheck, "눈금자 보이기", 1, 2);
    connect(m_data, &QCheckBox::clicked, this, [this] { OnDataClicked(); });

    // The edit and its up-down control are one spin box; its range is the up-down's.
    auto* decimalsRow = new QHBoxLayout;
    decimalsRow->addWidget(new QLabel(QString::fromUtf8("유효 소수점 :")));
    m_decimals = new QSpinBox;
    m_decimals->setObjectName(Id(kDecimalsEdit));
    m_decimals->setRange(0, kMaxDecimals);
    decimalsRow->addWidget(m_decimals);
    decimalsRow->addStretch();

    auto* mergeBox = new QGroupBox(QString::fromUtf8("이미지 자동 병합 설정"));
    auto* mergeRow = new QHBoxLayout(mergeBox);
    m_merge = new QButtonGroup(this);
    const struct
    {
        int id;
        const char* caption;
    } radios[] = {{kMergeAlwaysRadio, "자동 병합"}, {kMergeNeverRadio, "병합 안함"}, {kMergeAskRadio, "병합 물어보기"}};
    for (int index = 0; index < 3; ++index) {
        auto* radio = new QRadioButton(QString::fromUtf8(radios[index].caption));
        radio->setObjectName(Id(radios[index].id));
        m_merge->addButton(radio, index);
        mergeRow->addWidget(radio);
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QString::fromUtf8("확인"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(Id(1));
    ok->setDefault(true);
    buttons->addButton(QString::fromUtf8("취소"), QDialogButtonBox::RejectRole)->setObjectName(Id(2));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPreferencesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPreferencesDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(display);
    layout->addLayout(decimalsRow);
    layout->addWidget(mergeBox);
    layout->addWidget(buttons);

    OnInitDialog();
}

void CPreferencesDlg::OnInitDialog()
{
    m_name->setChecked(m_values.displayName != 0);
    m_data->setChecked(m_values.displayData != 0);
    m_mark->setChecked(m_values.displayMark != 0);
    m_realtime->setChecked(m_values.displayRealtime != 0);
    m_autoColour->setChecked(m_values.autoColor != 0);
    m_scaleBar->setChecked(m_values.showScaleBar != 0);
    m_decimals->setValue(std::clamp(m_values.decimalPointRange, 0, kMaxDecimals));
    // A stored choice outside the three radios shows none checked; OK then keeps "ask", the careful one.
    if (QAbstractButton* radio = m_merge->button(m_values.saveImageFlatten))
        radio->setChecked(true);
    OnDataClicked();
}

void CPreferencesDlg::OnDataClicked()
{
    m_mark->setEnabled(m_data->isChecked());
}

void CPreferencesDlg::accept()
{
    m_values.decimalPointRange = m_decimals->value();
    m_values.displayName = m_name->isChecked() ? 1 : 0;
    m_values.displayData = m_data->isChecked() ? 1 : 0;
    m_values.displayMark = m_mark->isChecked() ? 1 : 0;
    m_values.displayRealtime = m_realtime->isChecked() ? 1 : 0;
    m_values.autoColor = m_autoColour->isChecked() ? 1 : 0;
    m_values.showScaleBar = m_scaleBar->isChecked() ? 1 : 0;
    m_values.saveImageFlatten = m_merge->checkedId() >= 0 ? m_merge->checkedId() : 2;
    QDialog::accept();
}

bool ApplyPreferences(const PreferenceSettings& values, PreferenceSettings& programWide, CVistrelDoc* document,
                      CAppProfile& profile)
{
    programWide = values;
    if (document) {
        document->ApplyPreferences(values);
        if (CVistrelView* view = document->GetImageView())
            view->GetDispWnd()->AfterObjectEdit();
        else
            document->GetGObjectContainer().UpdateAllObjectDataLabel();
    }
    return SavePreferenceSettings(profile, values);
}

CVistrelDoc* ActiveDocumentOf(CMainFrame& frame)
{
    CChildFrame* child = frame.ActiveChildFrame();
    return child ? dynamic_cast<CVistrelDoc*>(child->DocumentTarget()) : nullptr;
}

int RunPreferencesDialog(CMainFrame& frame, PreferenceSettings& programWide, CAppProfile& profile)
{
    CPreferencesDlg dialog(programWide, &frame);
    const int result = RunModal(dialog);
    if (result == QDialog::Accepted)
        ApplyPreferences(dialog.Values(), programWide, ActiveDocumentOf(frame), profile);
    return result;
}

int RunPreferencesDialog(CMainFrame& frame)
{
    ProgramObjects* program = TheProgram();
    if (!program)
        return QDialog::Rejected;
    return RunPreferencesDialog(frame, program->Profile().preferences, AppProfile());
}
