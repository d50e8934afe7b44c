#include "quantor/SurfacePlotDlg.h"

#include "quantor/ColourPicker.h"
#include "quantor/QuantorStrings.h"
#include "quantor/SurfacePlotWnd.h"

#include "common/ModuleFolder.h"
#include "module/CModule.h"
#include "printdeck/PrintDeck.h"
#include "profile/CAppProfile.h"
#include "qvimage/CQvImage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quantor {

namespace {

constexpr COLORREF kPickerTextColour = 0x808080;
constexpr int kDefaultStep = 5;

std::string& ReportFolderOverride()
{
    static std::string folder;
    return folder;
}

QString Text(int id)
{
    // A label's tab stands between its name and its colon.
    return QString::fromStdString(QuantorString(id)).replace(QLatin1Char('\t'), QLatin1Char(' '));
}

QSlider* MakeTrackbar(const char* id, int low, int high, int position)
{
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QString::fromLatin1(id));
    slider->setTickPosition(QSlider::NoTicks);
    slider->setRange(low, high);
    slider->setValue(position);
    return slider;
}

QPushButton* MakeButton(const char* id, int text, bool checkable)
{
    auto* button = new QPushButton(Text(text));
    button->setObjectName(QString::fromLatin1(id));
    button->setCheckable(checkable);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

void SetReportFolder(const std::string& folder)
{
    ReportFolderOverride() = folder;
}

std::string ReportFolder()
{
    if (!ReportFolderOverride().empty())
        return ReportFolderOverride();
    // The plug-in folder's parent: components/Plug-Ins/ -> components/.
    std::string folder = FolderOfModuleAt(reinterpret_cast<const void*>(&ReportFolder));
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    const size_t slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return folder + "Report/";
}

CSurfacePlotDlg::CSurfacePlotDlg(CQvImage* image, std::string title, QWidget* parent)
    : QDialog(parent), m_image(image), m_title(std::move(title))
{
    setObjectName(QStringLiteral("7000"));
    setWindowTitle(Text(IDS_SURFACE_PLOT));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(10);
    setFont(tahoma);
    BuildForm();

    const LegendColours colours = LoadLegendColours(QuantorProfile());
    for (CColourPicker* picker : {m_low, m_high}) {
        picker->SetDefaultText(Text(IDS_PICKER_DEFAULT));
        picker->SetCustomText(Text(IDS_PICKER_MORE));
        picker->SetTextColour(kPickerTextColour);
    }
    m_low->SetColour(colours.low);
    m_high->SetColour(colours.high);

    if (m_image) {
        for (const int entry : ChannelEntries(m_image->GetBitsPerPixel()))
            m_channel->addItem(Text(entry));
        m_channel->setCurrentIndex(m_channel->count() > 0 ? 0 : -1);
        m_channel->setEnabled(m_image->GetBitsPerPixel() != 8);
        m_plot->SetImage(m_image);
    }
    KeepScale();

    // Wired after the controls have their starting values, so setting them runs no handler.
    connect(m_grid, &QPushButton::clicked, this, [this] { OnGrid(); });
    connect(m_surface, &QPushButton::clicked, this, [this] { OnSurface(); });
    connect(m_flat, &QPushButton::clicked, this, [this] { OnFlat(); });
    connect(m_legend, &QCheckBox::toggled, this, [this] { OnShowLegend(); });
    for (QSlider* slider : {m_centerRotate, m_xRotate, m_zoom, m_zAxis})
        connect(slider, &QSlider::valueChanged, this, [this] { OnTrackbar(); });
    connect(m_step, &QSpinBox::valueChanged, this, [this] { OnStepChanged(); });
    connect(m_channel, &QComboBox::currentIndexChanged, this, [this] { OnChannelChanged(); });
    for (CColourPicker* picker : {m_low, m_high})
        picker->notify = [this](UINT message, COLORREF, int) {
            if (message == CPN_SELENDOK)
                OnPickerAccepted();
        };
    connect(m_invert, &QPushButton::clicked, this, [this] { OnInvert(); });

    OnSurface();
    m_surface->setChecked(true);
}

CSurfacePlotDlg::~CSurfacePlotDlg() = default;

void CSurfacePlotDlg::BuildForm()
{
    m_plot = new CSurfacePlotWnd;
    m_plot->setObjectName(QStringLiteral("7000"));
    m_plot->setFixedSize(442, 448);

    m_channel = new QComboBox;
    m_channel->setObjectName(QStringLiteral("7013"));
    auto* channelRow = new QHBoxLayout;
    channelRow->addWidget(new QLabel(Text(IDS_INTENSITY)));
    channelRow->addWidget(m_channel, 1);

    m_low = new CColourPicker;
    m_low->setObjectName(QStringLiteral("7014"));
    m_low->setText(Text(IDS_LOW));
    m_low->SetControlId(7014);
    m_high = new CColourPicker;
    m_high->setObjectName(QStringLiteral("7016"));
    m_high->setText(Text(IDS_HIGH));
    m_high->SetControlId(7016);
    m_legend = new QCheckBox(Text(IDS_SHOW));
    m_legend->setObjectName(QStringLiteral("7004"));
    auto* legendBox = new QGroupBox(Text(IDS_LEGEND));
    auto* legendRow = new QHBoxLayout(legendBox);
    legendRow->addWidget(m_low);
    legendRow->addWidget(m_high);
    legendRow->addWidget(m_legend);

    m_centerRotate = MakeTrackbar("7008", 0, 360, 0);
    m_xRotate = MakeTrackbar("7007", -90, 0, -40);
    m_zoom = MakeTrackbar("7006", 1, 100, 20);
    m_zAxis = MakeTrackbar("7005", 1, 100, 10);
    auto trackbarBox = [](int title, int firstLabel, QSlider* first, int secondLabel, QSlider* second) {
        auto* box = new QGroupBox(Text(title));
        auto* grid = new QGridLayout(box);
        grid->addWidget(new QLabel(Text(firstLabel)), 0, 0);
        grid->addWidget(first, 0, 1);
        grid->addWidget(new QLabel(Text(secondLabel)), 1, 0);
        grid->addWidget(second, 1, 1);
        return box;
    };

    m_grid = MakeButton("7001", IDS_GRID, true);
    m_surface = MakeButton("7002", IDS_SURFACE, true);
    m_flat = MakeButton("7003", IDS_FLAT, true);
    m_display = new QButtonGroup(this);
    m_display->setExclusive(true);
    for (QPushButton* button : {m_grid, m_surface, m_flat})
        m_display->addButton(button);
    m_step = new QSpinBox;
    m_step->setObjectName(QStringLiteral("7011"));
    m_step->setRange(1, 20);
    m_step->setValue(kDefaultStep);
    m_step->setDisplayIntegerBase(10);
    auto* displayBox = new QGroupBox(Text(IDS_DISPLAY));
    auto* displayGrid = new QGridLayout(displayBox);
    displayGrid->addWidget(m_grid, 0, 0);
    displayGrid->addWidget(m_surface, 0, 1);
    displayGrid->addWidget(m_flat, 0, 2);
    displayGrid->addWidget(new QLabel(Text(IDS_STEP)), 1, 0);
    displayGrid->addWidget(m_step, 1, 1, 1, 2);

    auto* save = MakeButton("7017", IDS_SAVE, false);
    m_invert = MakeButton("7018", IDS_INVERT, true);
    auto* print = MakeButton("7019", IDS_PRINT, false);
    auto* ok = MakeButton("1", IDS_OK, false);
    ok->setDefault(true);
    connect(save, &QPushButton::clicked, this, [this] { OnSave(); });
    connect(print, &QPushButton::clicked, this, [this] { OnPrint(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(save);
    buttonRow->addWidget(m_invert);
    buttonRow->addWidget(print);

    auto* side = new QVBoxLayout;
    side->addLayout(channelRow);
    side->addWidget(legendBox);
    side->addWidget(trackbarBox(IDS_ROTATE, IDS_CENTER_ROTATE, m_centerRotate, IDS_X_ROTATE, m_xRotate));
    side->addWidget(trackbarBox(IDS_ZOOM_GROUP, IDS_ZOOM, m_zoom, IDS_Z_AXIS, m_zAxis));
    side->addWidget(displayBox);
    side->addLayout(buttonRow);
    side->addStretch(1);
    side->addWidget(ok, 0, Qt::AlignRight);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_plot, 0, Qt::AlignTop);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

PlotControls CSurfacePlotDlg::Controls() const
{
    PlotControls c;
    c.zoom = m_zoom->value();
    c.zoomMax = m_zoom->maximum();
    c.zAxis = m_zAxis->value();
    c.zAxisMax = m_zAxis->maximum();
    c.centerRotate = m_centerRotate->value();
    c.xRotate = m_xRotate->value();
    c.flat = m_flat->isChecked();
    c.low = m_low->GetColour();
    c.high = m_high->GetColour();
    return c;
}

void CSurfacePlotDlg::KeepScale()
{
    if (const GridData* grid = m_plot->CurrentGrid())
        m_kept = {grid->m_fScaleX, grid->m_fScaleY};
}

void CSurfacePlotDlg::Apply()
{
    GridData* grid = m_plot->CurrentGrid();
    if (!grid)
        return;
    const PlotControls controls = Controls();
    ApplyControls(*grid, controls, m_kept);
    SaveLegendColours(QuantorProfile(), {controls.low, controls.high});
}

void CSurfacePlotDlg::Redraw()
{
    m_plot->update();
}

void CSurfacePlotDlg::ShowDisplay(DisplayKind kind)
{
    const bool rotations = kind != DisplayKind::Flat;
    for (QSlider* slider : {m_centerRotate, m_xRotate, m_zAxis})
        slider->setEnabled(rotations);
    m_zoom->setEnabled(true);
    GridData* grid = m_plot->CurrentGrid();
    if (!grid)
        return;
    Apply();
    ApplyDisplay(*grid, kind, m_legend->isChecked());
    Redraw();
}

void CSurfacePlotDlg::OnGrid() { ShowDisplay(DisplayKind::Grid); }
void CSurfacePlotDlg::OnSurface() { ShowDisplay(DisplayKind::Surface); }
void CSurfacePlotDlg::OnFlat() { ShowDisplay(DisplayKind::Flat); }

void CSurfacePlotDlg::RunCheckedDisplay()
{
    if (m_flat->isChecked())
        OnFlat();
    else if (m_grid->isChecked())
        OnGrid();
    else if (m_surface->isChecked())
        OnSurface();
}

void CSurfacePlotDlg::OnShowLegend()
{
    if (GridData* grid = m_plot->CurrentGrid()) {
        grid->m_bShowLegend = m_legend->isChecked() ? 1 : 0;
        Redraw();
    }
}

void CSurfacePlotDlg::OnTrackbar()
{
    if (!m_plot->CurrentGrid())
        return;
    Apply();
    Redraw();
}

void CSurfacePlotDlg::OnStepChanged()
{
    m_plot->SetStep(m_step->value());
    m_plot->Rebuild();
    KeepScale();
    RunCheckedDisplay();
    Redraw();
}

void CSurfacePlotDlg::OnChannelChanged()
{
    if (m_channel->currentIndex() < 0)
        return;
    m_plot->SetChannel(m_channel->currentIndex());
    m_plot->Rebuild();
    KeepScale();
    RunCheckedDisplay();
    OnShowLegend();
    Redraw();
}

void CSurfacePlotDlg::OnPickerAccepted()
{
    if (!m_plot->CurrentGrid())
        return;
    Apply();
    Redraw();
}

void CSurfacePlotDlg::OnInvert()
{
    if (!m_plot->CurrentGrid())
        return;
    m_plot->Invert();
    Redraw();
}

void CSurfacePlotDlg::OnSave()
{
    m_plot->SaveBitmap();
}

void CSurfacePlotDlg::OnPrint()
{
    CModule report;
    if (!report.Load(ReportFolder() + kPrintDeckFileName))
        return;
    const PackedDib capture = m_plot->Capture();
    const auto print = report.GetProc<PFN_PrintDeckPrint>(kPrintDeckPrintName);
    if (!print)
        return;
    // The module reads the picture during the call only; the capture goes once, with this scope.
    print(m_title.c_str(), kPrintDeckPicture,
          capture.empty() ? nullptr : reinterpret_cast<const BITMAPINFOHEADER*>(capture.data()), capture.size());
}

}  // namespace quantor
