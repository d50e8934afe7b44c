#include "caliper/CaliperDialog.h"

#include "caliper/CaliperStrings.h"
#include "caliper/HoverIconButton.h"
#include "caliper/ProfileView.h"
#include "caliper/ThemedTabCtrl.h"
#include "gobjects/ui/ColorPopup.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

using namespace caliper;

namespace {

QString Q(uint32_t id)
{
    return QString::fromStdString(Text(id));
}

// The tool glyphs: an arrow, a line, a circle; black normally, blue when hot, on white (the transparent colour).
QImage ToolGlyph(int mode, bool hot)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(hot ? QColor(0, 0, 255) : QColor(0, 0, 0));
    switch (mode) {
    case 0:
        painter.drawLine(3, 2, 3, 13);
        painter.drawLine(3, 2, 11, 10);
        painter.drawLine(3, 13, 6, 10);
        painter.drawLine(6, 10, 11, 10);
        break;
    case 1:
        painter.drawLine(2, 13, 13, 2);
        break;
    default:
        painter.drawEllipse(2, 2, 11, 11);
        break;
    }
    return image;
}

QLineEdit* ReadOnlyEdit(int id, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setReadOnly(true);
    edit->setFixedWidth(36);
    return edit;
}

// An edit with its up-down control, in one row.
QWidget* EditWithSpin(QLineEdit* edit, CCaliperSpin* spin, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    edit->setParent(row);
    spin->setParent(row);
    layout->addWidget(edit);
    layout->addWidget(spin);
    return row;
}

}  // namespace

// ---- CCaliperSpin

CCaliperSpin::CCaliperSpin(QLineEdit* buddy, QWidget* parent) : QWidget(parent), m_buddy(buddy)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(this);
    up->setObjectName("up");
    up->setArrowType(Qt::UpArrow);
    up->setFixedSize(14, 10);
    auto* down = new QToolButton(this);
    down->setObjectName("down");
    down->setArrowType(Qt::DownArrow);
    down->setFixedSize(14, 10);
    layout->addWidget(up);
    layout->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CCaliperSpin::SetRange(int low, int high)
{
    m_low = low;
    m_high = high;
}

void CCaliperSpin::Step(int delta)
{
    int proposed = std::clamp(m_pos + delta, m_low, m_high);
    if (request)
        proposed = request(proposed);
    m_pos = proposed;
    m_buddy->setText(QString::number(m_pos));
}

// ---- CCaliperDialog

CCaliperDialog::CCaliperDialog(CaliperMain& main, QWidget* parent)
    : QDialog(parent), m_main(main), m_settings(main.Settings())
{
    setObjectName("5000");
    setWindowTitle(Q(kStrCaliper));
    setModal(false);
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    auto* menuBar = new QMenuBar(this);
    QMenu* menu = menuBar->addMenu(Q(kStrSettingsMenu));
    QAction* load = menu->addAction(Q(kStrLoadSettings), this, [this] { LoadSettingsFile(); });
    load->setObjectName("32771");
    QAction* save = menu->addAction(Q(kStrSaveSettings), this, [this] { SaveSettingsFile(); });
    save->setObjectName("32772");
    menu->addSeparator();
    QAction* reset = menu->addAction(Q(kStrResetSettings), this, [this] { ResetSettings(); });
    reset->setObjectName("32773");
    outer->setMenuBar(menuBar);

    // Upper part: what the compact size shows.
    auto* top = new QHBoxLayout;
    const int toolIds[3] = {5008, 5006, 5007};
    const uint32_t toolTips[3] = {kStrSelectTool, kStrLineTool, kStrCircleTool};
    for (int mode = 0; mode < 3; ++mode) {
        auto* button = new CHoverIconButton(this);
        button->setObjectName(QString::number(toolIds[mode]));
        button->setFixedSize(28, 28);
        button->SetLook(CHoverIconButton::kHoverLook, false);
        button->SetCheckMode(true);
        const QImage hot = ToolGlyph(mode, true);
        const QImage normal = ToolGlyph(mode, false);
        button->AssignBitmaps(&hot, RGB(255, 255, 255), &normal, RGB(255, 255, 255));
        button->SetTipText(Text(toolTips[mode]).c_str(), true);
        connect(button, &QAbstractButton::clicked, this, [this, mode] { SetToolMode(mode); });
        m_toolButtons[mode] = button;
        top->addWidget(button);
    }
    auto* smoothing = new QGroupBox(Q(kStrSmoothing), this);
    auto* smoothingLayout = new QGridLayout(smoothing);
    m_passes = ReadOnlyEdit(5010, smoothing);
    auto* passesSpin = new CCaliperSpin(m_passes, smoothing);
    passesSpin->setObjectName("5011");
    passesSpin->SetRange(1, 100);
    m_halfWidth = ReadOnlyEdit(5013, smoothing);
    auto* halfWidthSpin = new CCaliperSpin(m_halfWidth, smoothing);
    halfWidthSpin->setObjectName("5012");
    halfWidthSpin->SetRange(1, 5);
    smoothingLayout->addWidget(new QLabel(Q(kStrPasses), smoothing), 0, 0);
    smoothingLayout->addWidget(EditWithSpin(m_passes, passesSpin, smoothing), 0, 1);
    smoothingLayout->addWidget(new QLabel(Q(kStrHalfWidth), smoothing), 0, 2);
    smoothingLayout->addWidget(EditWithSpin(m_halfWidth, halfWidthSpin, smoothing), 0, 3);
    top->addWidget(smoothing);
    m_options = new CHoverIconButton(this);
    m_options->setObjectName("5003");
    m_options->setText(Q(kStrOptions));
    m_options->SetCheckMode(true);
    m_options->SetTipText(Text(kStrOptionsTip).c_str(), true);
    top->addWidget(m_options);
    auto* apply = new CHoverIconButton(this);
    apply->setObjectName("5005");
    apply->setText(Q(kStrApply));
    top->addWidget(apply);
    outer->addLayout(top);

    auto* separator = new QFrame(this);
    separator->setObjectName("5004");
    separator->setFrameShape(QFrame::HLine);
    outer->addWidget(separator);

    // Lower part: shown at full size only.
    m_lower = new QWidget(this);
    auto* lower = new QVBoxLayout(m_lower);
    lower->setContentsMargins(0, 0, 0, 0);
    m_tabs = new CThemedTabCtrl(m_lower);
    m_tabs->setObjectName("tabs");
    lower->addWidget(m_tabs);
    m_tabs->AddTab(MakeOverviewPage(), Q(kStrOverview));
    m_tabs->AddTab(MakeDetectorPage(), Q(kStrDetector));
    m_tabs->AddTab(MakeOptionsPage(), Q(kStrOptions));
    m_tabs->SetSelectedTextColor(RGB(0, 0, 255));
    m_tabs->SetHoverTextColor(RGB(255, 255, 255));
    auto* bottom = new QHBoxLayout;
    auto* result = new QGroupBox(Q(kStrResult), m_lower);
    auto* resultLayout = new QHBoxLayout(result);
    const int resultIds[2] = {5017, 5018};
    const uint32_t resultTexts[2] = {kStrBasicResult, kStrDetailedResult};
    for (int mode = 0; mode < 2; ++mode) {
        m_results[mode] = new QRadioButton(Q(resultTexts[mode]), result);
        m_results[mode]->setObjectName(QString::number(resultIds[mode]));
        resultLayout->addWidget(m_results[mode]);
        connect(m_results[mode], &QRadioButton::toggled, this, [this, mode](bool on) {
            CCaliperSession* session = m_main.Current();
            if (on && session && mode != m_settings.ResultMode())
                session->SetResultMode(mode);
        });
    }
    bottom->addWidget(result);
    auto* measure = new CHoverIconButton(m_lower);
    measure->setObjectName("5009");
    measure->setText(Q(kStrMeasure));
    measure->setMinimumSize(60, 28);
    bottom->addWidget(measure);
    lower->addLayout(bottom);
    outer->addWidget(m_lower);

    connect(apply, &QAbstractButton::clicked, this, [this] { ApplyCurrent(); });
    connect(measure, &QAbstractButton::clicked, this, [this] {
        if (CCaliperSession* session = m_main.Current())
            session->RebuildReport();
    });
    connect(m_options, &QAbstractButton::clicked, this, [this] { ShowCompact(!m_options->IsChecked()); });
    // Every change of the smoothing is seen by the current session's profiles at once.
    connect(m_passes, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_settings.SetPasses(std::atoi(text.toUtf8().constData()));
        if (CCaliperSession* session = m_main.Current())
            session->Reanalyze();
    });
    connect(m_halfWidth, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_settings.SetHalfWidth(std::atoi(text.toUtf8().constData()));
        if (CCaliperSession* session = m_main.Current())
            session->Reanalyze();
    });

    // The edits show the settings as they are, even outside the spins' ranges (a loaded file).
    const QSignalBlocker passesBlock(m_passes);
    const QSignalBlocker halfWidthBlock(m_halfWidth);
    m_passes->setText(QString::number(m_settings.Passes()));
    passesSpin->SetPos(m_settings.Passes());
    m_halfWidth->setText(QString::number(m_settings.HalfWidth()));
    halfWidthSpin->SetPos(m_settings.HalfWidth());
    m_results[m_settings.ResultMode() == 1 ? 1 : 0]->setChecked(true);
    ReloadOptions();
    ShowCompact(true);
    if (m_main.Current())
        Refresh();
}

CCaliperDialog::~CCaliperDialog() = default;

QWidget* CCaliperDialog::MakeOverviewPage()
{
    auto* page = new QWidget;
    page->setObjectName("5001");
    auto* layout = new QVBoxLayout(page);
    auto* frame = new QWidget(page);
    frame->setObjectName("5002");
    frame->setFixedSize(304, 204);
    layout->addWidget(frame);
    m_profile = new CProfileView(m_main, frame);
    m_profile->setGeometry(0, 0, 304, 204);
    return page;
}

CColorButton* CCaliperDialog::ColourButton(QWidget* parent, int id, int slot)
{
    auto* button = new CColorButton(parent);
    button->setObjectName(QString::number(id));
    button->SetControlId(id);
    button->notify = [this, button, slot](UINT message, COLORREF, int) {
        if (message != CPN_SELENDOK)
            return;
        m_settings.SetColour(slot, button->SwatchColour());
        ApplyCurrent();
    };
    return button;
}

QWidget* CCaliperDialog::MakeDetectorPage()
{
    auto* page = new QWidget;
    page->setObjectName("5002page");
    auto* layout = new QGridLayout(page);
    const int checkIds[kEdgeKinds] = {5012, 5008, 5009, 5010, 5011};
    const int colourIds[kEdgeKinds] = {5020, 5016, 5017, 5018, 5019};
    for (int kind = 0; kind < kEdgeKinds; ++kind) {
        m_detectors[kind] = new QCheckBox(Q(kStrKindNames + static_cast<uint32_t>(kind)), page);
        m_detectors[kind]->setObjectName(QString::number(checkIds[kind]));
        connect(m_detectors[kind], &QCheckBox::toggled, this,
                [this, kind](bool on) { m_settings.SetDetector(kind, on ? 1 : 0); });
        m_kindColours[kind] = ColourButton(page, colourIds[kind], kind);
        layout->addWidget(m_detectors[kind], kind, 0);
        layout->addWidget(m_kindColours[kind], kind, 1);
    }
    m_upper = ReadOnlyEdit(5021, page);
    m_upperSpin = new CCaliperSpin(m_upper, page);
    m_upperSpin->setObjectName("5023");
    m_lower_ = ReadOnlyEdit(5022, page);
    m_lowerSpin = new CCaliperSpin(m_lower_, page);
    m_lowerSpin->setObjectName("5024");
    // The thresholds never cross: a step past the other one stops on it.
    m_upperSpin->request = [this](int proposed) {
        const int value = std::max(proposed, m_settings.LowerThreshold());
        m_settings.SetUpperThreshold(value);
        return value;
    };
    m_lowerSpin->request = [this](int proposed) {
        const int value = std::min(proposed, m_settings.UpperThreshold());
        m_settings.SetLowerThreshold(value);
        return value;
    };
    layout->addWidget(new QLabel(Q(kStrUpper), page), 0, 2);
    layout->addWidget(EditWithSpin(m_upper, m_upperSpin, page), 0, 3);
    layout->addWidget(new QLabel(Q(kStrLower), page), 1, 2);
    layout->addWidget(EditWithSpin(m_lower_, m_lowerSpin, page), 1, 3);
    return page;
}

QWidget* CCaliperDialog::MakeOptionsPage()
{
    auto* page = new QWidget;
    page->setObjectName("5003page");
    auto* layout = new QGridLayout(page);
    m_showNames = new QCheckBox(Q(kStrShowNames), page);
    m_showNames->setObjectName("5026");
    connect(m_showNames, &QCheckBox::toggled, this, [this](bool on) { m_settings.SetShowNames(on ? 1 : 0); });
    m_decimals = ReadOnlyEdit(5027, page);
    m_decimalsSpin = new CCaliperSpin(m_decimals, page);
    m_decimalsSpin->setObjectName("5028");
    m_decimalsSpin->SetRange(0, 10);
    connect(m_decimals, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_settings.SetDecimals(std::atoi(text.toUtf8().constData()));
        ApplyCurrent();
    });
    auto* overview = new QGroupBox(Q(kStrOverviewGroup), page);
    auto* overviewLayout = new QHBoxLayout(overview);
    overviewLayout->addWidget(new QLabel(Q(kStrDecimals), overview));
    overviewLayout->addWidget(EditWithSpin(m_decimals, m_decimalsSpin, overview));
    auto* image = new QGroupBox(Q(kStrImageGroup), page);
    auto* imageLayout = new QHBoxLayout(image);
    imageLayout->addWidget(new QLabel(Q(kStrLine), image));
    m_optionColours[0] = ColourButton(image, 5029, kToolColour);
    imageLayout->addWidget(m_optionColours[0]);
    auto* result = new QGroupBox(Q(kStrResult), page);
    auto* resultLayout = new QGridLayout(result);
    const int ids[3] = {5030, 5032, 5031};
    const int colourSlots[3] = {kCurveColour, kGridColour, kFrameColour};
    const uint32_t labels[3] = {kStrLine, kStrGrid, kStrFrame};
    for (int i = 0; i < 3; ++i) {
        resultLayout->addWidget(new QLabel(Q(labels[i]), result), i, 0);
        m_optionColours[i + 1] = ColourButton(result, ids[i], colourSlots[i]);
        resultLayout->addWidget(m_optionColours[i + 1], i, 1);
    }
    layout->addWidget(m_showNames, 0, 0);
    layout->addWidget(overview, 1, 0);
    layout->addWidget(image, 0, 1);
    layout->addWidget(result, 1, 1);
    return page;
}

void CCaliperDialog::ReloadDetectors()
{
    for (int kind = 0; kind < kEdgeKinds; ++kind) {
        const QSignalBlocker block(m_detectors[kind]);
        m_detectors[kind]->setChecked(m_settings.Detector(kind) != 0);
        m_kindColours[kind]->SetColor(m_settings.Colour(kind));
    }
    m_upperSpin->SetRange(0, 255);
    m_lowerSpin->SetRange(0, 255);
    m_upperSpin->SetPos(m_settings.UpperThreshold());
    m_lowerSpin->SetPos(m_settings.LowerThreshold());
    m_upper->setText(QString::number(m_settings.UpperThreshold()));
    m_lower_->setText(QString::number(m_settings.LowerThreshold()));
}

void CCaliperDialog::ReloadOptions()
{
    const QSignalBlocker blockNames(m_showNames);
    const QSignalBlocker blockDecimals(m_decimals);
    m_showNames->setChecked(m_settings.ShowNames() != 0);
    m_decimalsSpin->SetPos(m_settings.Decimals());
    m_decimals->setText(QString::number(m_settings.Decimals()));
    const int colourSlots[4] = {kToolColour, kCurveColour, kGridColour, kFrameColour};
    for (int i = 0; i < 4; ++i)
        m_optionColours[i]->SetColor(m_settings.Colour(colourSlots[i]));
}

void CCaliperDialog::ShowCompact(bool compact)
{
    m_options->SetChecked(compact ? 0 : 1, true);
    m_lower->setVisible(!compact);
    layout()->activate();
    adjustSize();
}

void CCaliperDialog::ApplyCurrent()
{
    if (CCaliperSession* session = m_main.Current())
        session->Apply();
}

void CCaliperDialog::SetToolMode(int mode)
{
    CCaliperSession* session = m_main.Current();
    if (session && mode != m_settings.ToolMode())
        session->SetToolMode(mode);
    for (int i = 0; i < 3; ++i)
        m_toolButtons[i]->SetChecked(i == m_settings.ToolMode() ? 1 : 0, true);
}

void CCaliperDialog::Refresh()
{
    if (!m_main.Current()) {
        m_profile->Reload();
        hide();
        return;
    }
    SetToolMode(0);
    m_profile->Reload();
    ReloadDetectors();
}

void CCaliperDialog::RefreshProfile()
{
    m_profile->Reload();
}

void CCaliperDialog::Show()
{
    if (m_ending)
        return;
    // Placed once at the top right of the screen, after showing, when its laid-out size is known; later the user's
    // placement holds.
    show();
    if (!m_placed)
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().right() + 1 - frameGeometry().width(), screen->availableGeometry().top());
    m_placed = true;
}

void CCaliperDialog::SaveSettingsFile()
{
    if (!m_main.Current())
        return;
    FileDialogRequest request;
    request.save = true;
    request.filter = Text(kStrSettingFiles) + "|*.cst||";
    request.defaultExtension = "cst";
    request.initialFile = m_settings.SettingsFolder();
    request.overwritePrompt = true;
    const std::string path = ChooseFile(request);
    if (!path.empty())
        m_settings.Save(path);
}

void CCaliperDialog::LoadSettingsFile()
{
    if (!m_main.Current())
        return;
    FileDialogRequest request;
    request.filter = Text(kStrSettingFiles) + "|*.cst||";
    request.defaultExtension = "cst";
    request.initialFile = m_settings.SettingsFolder();
    const std::string path = ChooseFile(request);
    if (path.empty())
        return;
    if (MessageBox(Text(kStrLoadWarning), Text(kStrProceed), MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    // A failed load keeps the previous settings; the sessions start afresh all the same.
    m_settings.Load(path);
    m_main.RestartSessions();
    const QSignalBlocker passesBlock(m_passes);
    const QSignalBlocker halfWidthBlock(m_halfWidth);
    m_passes->setText(QString::number(m_settings.Passes()));
    m_halfWidth->setText(QString::number(m_settings.HalfWidth()));
    ReloadOptions();
    Refresh();
}

void CCaliperDialog::ResetSettings()
{
    if (!m_main.Current())
        return;
    if (MessageBox(Text(kStrLoadWarning), Text(kStrProceed), MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    m_settings.SetDefaults();
    m_main.RestartSessions();
    const QSignalBlocker passesBlock(m_passes);
    const QSignalBlocker halfWidthBlock(m_halfWidth);
    m_passes->setText(QString::number(m_settings.Passes()));
    m_halfWidth->setText(QString::number(m_settings.HalfWidth()));
    ReloadOptions();
    Refresh();
}

void CCaliperDialog::EndCaliper()
{
    if (m_ending)
        return;
    m_ending = true;
    hide();
    m_main.EndCaliper();
}

void CCaliperDialog::accept()
{
    EndCaliper();
}

void CCaliperDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & ~Qt::KeypadModifier)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CCaliperDialog::reject()
{
    QDialog::reject();
    EndCaliper();
}

// ---- the dialog as CaliperMain holds it

namespace {

class DialogHolder : public ICaliperDialog
{
public:
    explicit DialogHolder(CaliperMain& main) : m_dialog(new CCaliperDialog(main)) {}
    ~DialogHolder() override
    {
        // None left to delete after the application object (a dialog still there at exit goes with the process).
        if (!m_dialog || !QCoreApplication::instance())
            return;
        // Ended from inside one of its own handlers: it goes once that handler has returned.
        if (m_dialog->Ending()) {
            m_dialog->hide();
            m_dialog->deleteLater();
        } else {
            delete m_dialog.data();
        }
    }
    void Refresh() override
    {
        if (m_dialog)
            m_dialog->Refresh();
    }
    void RefreshProfile() override
    {
        if (m_dialog)
            m_dialog->RefreshProfile();
    }
    void Show() override
    {
        if (m_dialog)
            m_dialog->Show();
    }

private:
    QPointer<CCaliperDialog> m_dialog;
};

}  // namespace

std::unique_ptr<ICaliperDialog> caliper::MakeCaliperDialog(CaliperMain& main)
{
    return std::make_unique<DialogHolder>(main);
}
