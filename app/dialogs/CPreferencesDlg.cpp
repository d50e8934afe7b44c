#include "dialogs/CPreferencesDlg.h"

#include "core/ProfileSettings.h"
#include "document/CVistrelDoc.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "view/CVistrelView.h"

#include "profile/CAppProfile.h"
#include "resources/StringTable.h"
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

constexpr const char* kModule = "Vistrel";
constexpr uint32_t IDS_TITLE = 8240;
constexpr uint32_t IDS_DISPLAY_GROUP = 8241;
constexpr uint32_t IDS_NAME = 8242;
constexpr uint32_t IDS_VALUE = 8243;
constexpr uint32_t IDS_UNIT = 8244;
constexpr uint32_t IDS_REALTIME_RESULT = 8245;
constexpr uint32_t IDS_AUTO_COLOUR = 8246;
constexpr uint32_t IDS_SCALE_BAR = 8247;
constexpr uint32_t IDS_DECIMALS = 8248;
constexpr uint32_t IDS_MERGE_GROUP = 8249;
constexpr uint32_t IDS_MERGE_ALWAYS = 8250;
constexpr uint32_t IDS_MERGE_NEVER = 8251;
constexpr uint32_t IDS_MERGE_ASK = 8252;
constexpr uint32_t IDS_OK = 8253;
constexpr uint32_t IDS_CANCEL = 8254;

const StringTableRegistrar kPreferencesStrings(kModule, {
    {IDS_TITLE, "Preferences", "환경설정"},
    {IDS_DISPLAY_GROUP, "Object Display", "개체 표시"},
    {IDS_NAME, "Name", "이름"},
    {IDS_VALUE, "Value", "값"},
    {IDS_UNIT, "Unit", "단위"},
    {IDS_REALTIME_RESULT, "Real-time Result", "실시간 결과"},
    {IDS_AUTO_COLOUR, "Automatic Color Change", "자동 색상 전환"},
    {IDS_SCALE_BAR, "Show Ruler", "눈금자 보이기"},
    {IDS_DECIMALS, "Decimal Places :", "유효 소수점 :"},
    {IDS_MERGE_GROUP, "Automatic Image Merge", "이미지 자동 병합 설정"},
    {IDS_MERGE_ALWAYS, "Merge Automatically", "자동 병합"},
    {IDS_MERGE_NEVER, "Do Not Merge", "병합 안함"},
    {IDS_MERGE_ASK, "Ask Before Merging", "병합 물어보기"},
    {IDS_OK, "OK", "확인"},
    {IDS_CANCEL, "Cancel", "취소"},
});

QString Text(uint32_t id)
{
    return QString::fromStdString(LoadString(kModule, id));
}

QString Id(int id)
{
    return QString::number(id);
}

QCheckBox* AddCheck(QGridLayout* grid, int id, uint32_t caption, int row, int column)
{
    auto* box = new QCheckBox(Text(caption));
    box->setObjectName(Id(id));
    grid->addWidget(box, row, column);
    return box;
}

}  // namespace

CPreferencesDlg::CPreferencesDlg(const PreferenceSettings& values, QWidget* parent)
    : QDialog(parent), m_values(values)
{
    setObjectName("820");
    setWindowTitle(Text(IDS_TITLE));

    auto* display = new QGroupBox(Text(IDS_DISPLAY_GROUP));
    auto* checks = new QGridLayout(display);
    m_name = AddCheck(checks, kNameCheck, IDS_NAME, 0, 0);
    m_data = AddCheck(checks, kDataCheck, IDS_VALUE, 0, 1);
    m_mark = AddCheck(checks, kMarkCheck, IDS_UNIT, 0, 2);
    m_realtime = AddCheck(checks, kRealtimeCheck, IDS_REALTIME_RESULT, 1, 0);
    m_autoColour = AddCheck(checks, kAutoColourCheck, IDS_AUTO_COLOUR, 1, 1);
    m_scaleBar = AddCheck(checks, kScaleBarCheck, IDS_SCALE_BAR, 1, 2);
    connect(m_data, &QCheckBox::clicked, this, [this] { OnDataClicked(); });

    // The edit and its up-down control are one spin box; its range is the up-down's.
    auto* decimalsRow = new QHBoxLayout;
    decimalsRow->addWidget(new QLabel(Text(IDS_DECIMALS)));
    m_decimals = new QSpinBox;
    m_decimals->setObjectName(Id(kDecimalsEdit));
    m_decimals->setRange(0, kMaxDecimals);
    decimalsRow->addWidget(m_decimals);
    decimalsRow->addStretch();

    auto* mergeBox = new QGroupBox(Text(IDS_MERGE_GROUP));
    auto* mergeRow = new QHBoxLayout(mergeBox);
    m_merge = new QButtonGroup(this);
    const struct
    {
        int id;
        uint32_t caption;
    } radios[] = {
        {kMergeAlwaysRadio, IDS_MERGE_ALWAYS}, {kMergeNeverRadio, IDS_MERGE_NEVER}, {kMergeAskRadio, IDS_MERGE_ASK}};
    for (int index = 0; index < 3; ++index) {
        auto* radio = new QRadioButton(Text(radios[index].caption));
        radio->setObjectName(Id(radios[index].id));
        m_merge->addButton(radio, index);
        mergeRow->addWidget(radio);
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(Text(IDS_OK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(Id(1));
    ok->setDefault(true);
    buttons->addButton(Text(IDS_CANCEL), QDialogButtonBox::RejectRole)->setObjectName(Id(2));
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
