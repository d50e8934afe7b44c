#include "panels/CZoomDockWnd.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "panels/CZoomNavigatorWnd.h"
#include "panels/CZoomViewWnd.h"
#include "panels/ZoomToolsStrings.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "profile/CAppProfile.h"
#include "strings/Format.h"
#include "ui/ColourDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

CZoomDockWnd::CZoomDockWnd(CAppProfile* profile, LANGID language, QWidget* parent)
    : QWidget(parent), m_profile(profile), m_language(language)
{
    setObjectName("CZoomDockWnd");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("100");
    m_tabs->setDocumentMode(true);
    layout->addWidget(m_tabs);

    // The navigator sits under the magnifier on the same tab, so both show at once.
    auto* zoomPage = new QSplitter(Qt::Vertical);
    zoomPage->setObjectName("zoomPage");
    m_magnifier = new CZoomViewWnd;
    m_navigator = new CZoomNavigatorWnd;
    zoomPage->addWidget(m_magnifier);
    zoomPage->addWidget(m_navigator);
    zoomPage->setStretchFactor(0, 3);
    zoomPage->setStretchFactor(1, 2);
    m_tabs->addTab(zoomPage, ZoomToolsString(405, language));

    auto* settings = new QWidget;
    settings->setObjectName("102");
    m_overlay = new QCheckBox(ZoomToolsString(407, language), settings);
    m_overlay->setObjectName("100");
    m_overlay->setGeometry(10, 10, 100, 20);
    m_colour = new QToolButton(settings);
    m_colour->setObjectName("101");
    m_colour->setText(ZoomToolsString(408, language));
    m_colour->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_colour->setGeometry(10, 30, 130, 25);
    m_cellText = new QLineEdit(settings);
    m_cellText->setObjectName("102");
    m_cellText->setReadOnly(true);
    m_cellText->setGeometry(10, 60, 95, 20);
    m_cells = new QSpinBox(settings);
    m_cells->setObjectName("103");
    m_cells->setRange(CZoomViewWnd::kMinCells, CZoomViewWnd::kMaxCells);
    m_cells->setSingleStep(2);
    m_cells->setGeometry(105, 60, 40, 20);
    m_cells->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_tabs->addTab(settings, ZoomToolsString(406, language));

    LoadSettings();

    connect(m_overlay, &QCheckBox::toggled, this, [this](bool on) { m_magnifier->SetOverlay(on); });
    connect(m_colour, &QToolButton::clicked, this, [this] {
        if (const auto chosen = ChooseColour(m_magnifier->CrossColour())) {
            m_magnifier->SetCrossPen(m_magnifier->CrossStyle(), m_magnifier->CrossWidth(), *chosen);
            ShowColour();
        }
    });
    connect(m_cells, &QSpinBox::valueChanged, this, [this](int value) { SetCellCount(value); });
}

CZoomDockWnd::~CZoomDockWnd()
{
    SaveSettings();
}

void CZoomDockWnd::LoadSettings()
{
    int style = 0;
    int weight = 1;
    COLORREF colour = 0x000000FF;
    int cells = CZoomViewWnd::kDefaultCells;
    int overlay = 0;
    if (m_profile) {
        style = m_profile->GetProfileInt(kSection, "LineType", 0);
        weight = m_profile->GetProfileInt(kSection, "LineWeight", 1);
        std::vector<BYTE> bytes;
        if (m_profile->GetProfileBinary(kSection, "LineColor", bytes) && bytes.size() == 4)
            colour =
                static_cast<COLORREF>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<DWORD>(bytes[3]) << 24);
        cells = m_profile->GetProfileInt(kSection, "CELL", cells);
        overlay = m_profile->GetProfileInt(kSection, "OVERLAY", 0);
    }
    m_magnifier->SetCrossPen(style, weight, colour);
    m_magnifier->SetOverlay(overlay != 0);
    m_magnifier->SetCellCount(cells);
    const QSignalBlocker blockOverlay(m_overlay);
    m_overlay->setChecked(overlay != 0);
    ShowColour();
    ShowCellText();
}

void CZoomDockWnd::SaveSettings()
{
    if (!m_profile)
        return;
    m_profile->WriteProfileInt(kSection, "LineType", m_magnifier->CrossStyle());
    m_profile->WriteProfileInt(kSection, "LineWeight", m_magnifier->CrossWidth());
    const COLORREF colour = m_magnifier->CrossColour();
    const std::array<BYTE, 4> bytes{static_cast<BYTE>(colour), static_cast<BYTE>(colour >> 8),
                                    static_cast<BYTE>(colour >> 16), static_cast<BYTE>(colour >> 24)};
    m_profile->WriteProfileBinary(kSection, "LineColor", bytes.data(), 4);
    m_profile->WriteProfileInt(kSection, "CELL", m_magnifier->CellCount());
    m_profile->WriteProfileInt(kSection, "OVERLAY", m_magnifier->Overlay() ? 1 : 0);
}

void CZoomDockWnd::SetCellCount(int cells)
{
    m_magnifier->SetCellCount(cells);
    ShowCellText();
}

void CZoomDockWnd::ShowCellText()
{
    const int cells = m_magnifier->CellCount();
    m_cellText->setText(QString::fromStdString(Format("%dx%d ", cells, cells)) + ZoomToolsString(520, m_language));
    // A typed odd value is brought to the even count in force.
    const QSignalBlocker block(m_cells);
    m_cells->setValue(cells);
}

void CZoomDockWnd::ShowColour()
{
    const COLORREF colour = m_magnifier->CrossColour();
    QPixmap swatch(16, 16);
    swatch.fill(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    m_colour->setIcon(QIcon(swatch));
}

void CZoomDockWnd::Attach(CImageDispWnd* window)
{
    disconnect(m_drawnConnection);
    disconnect(m_cursorConnection);
    disconnect(m_imageConnection);
    m_overlayChanges.Reset();
    m_magnifier->Attach(window);
    m_navigator->Attach(window);
    if (window) {
        m_drawnConnection = connect(window, &CImageDispWnd::Drawn, this, [this] { Refresh(0); });
        // A new picture of the same size (the document's, or pixels a plug-in changed) would otherwise keep the old
        // one in the navigator and the magnifier.
        m_imageConnection = connect(window, &CImageDispWnd::ImageChanged, this, [this] {
            m_navigator->Rebuild(true);
            m_magnifier->UpdateFromImage();
        });
        // The magnifier follows the cursor itself; the navigator's frame follows scrolls made by dragging.
        m_cursorConnection = connect(window, &CImageDispWnd::CursorMoved, m_navigator, qOverload<>(&QWidget::update));
        if (CQvGObjectContainer* objects = window->Document().objects)
            m_overlayChanges = GObjectChangeSubscription(*objects, [this](const GObjectChanges& changes) {
                if (!changes.Empty() && m_magnifier->Overlay())
                    m_magnifier->update();
            });
    }
}

void CZoomDockWnd::Refresh(int type)
{
    if (type == 1 || type == 2)
        m_magnifier->SyncObjects();
    if (type == 0 || type == 2)
        m_navigator->Rebuild();
}

void CZoomDockWnd::Follow(DocumentRegistry* registry)
{
    if (!registry)
        return;
    connect(registry, &DocumentRegistry::ActiveDocumentChanged, this, &CZoomDockWnd::FollowDocument);
    FollowDocument(registry->GetActiveDocument());
}

void CZoomDockWnd::FollowDocument(CVistrelDoc* document)
{
    CVistrelView* view = document ? document->GetImageView() : nullptr;
    Attach(view ? view->GetDispWnd() : nullptr);
}
