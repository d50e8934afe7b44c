#include "panels/CMeasureAnnotationDockWnd.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "panels/ZoomToolsStrings.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"
#include "view/ViewCommands.h"

#include "gobjects/GObjectCatalogue.h"
#include "ui/MessageBox.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QToolBox>
#include <QVBoxLayout>

namespace {

constexpr QRgb kPageBackground = 0xFFF5F5F5;

struct Catalogue
{
    tagGObjInfo* (*info)();
    int (*count)();
    void (*strip)(QImage*);
};

// The edge-tools page has no catalogue of its own.
Catalogue CatalogueOf(CMeasureAnnotationDockWnd::PageKind kind)
{
    using Kind = CMeasureAnnotationDockWnd::PageKind;
    switch (kind) {
    case Kind::Measurement: return {&Get2DMeasureInfo, &Get2DMeasureInfoCount, &Get2DMeasureImageList};
    case Kind::Annotation: return {&GetAnnotationInfo, &GetAnnotationInfoCount, &GetAnnotationImageList};
    case Kind::AutoMeasure: return {&GetAutoMeasureInfo, &GetAutoMeasureInfoCount, &GetAutoMeasureImageList};
    case Kind::EdgeTools: break;
    }
    return {nullptr, nullptr, nullptr};
}

}  // namespace

// ---- tool page

CMeasureAnnotationDockWnd::ToolPage::ToolPage(CMeasureAnnotationDockWnd& dock, PageKind kind)
    : m_dock(dock), m_kind(kind)
{
    setViewMode(QListView::IconMode);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWordWrap(true);
    setIconSize(QSize(40, 40));
    setGridSize(QSize(76, 72));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor::fromRgb(kPageBackground));
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);

    const Catalogue catalogue = CatalogueOf(kind);
    if (!catalogue.info)
        return;
    QImage strip;
    catalogue.strip(&strip);
    const int side = strip.height();
    std::vector<QIcon> icons;
    if (side > 0) {
        // The mask colour is the page's own background: the pictures' backgrounds vanish into it.
        const QImage colour = strip.convertToFormat(QImage::Format_ARGB32);
        for (int x = 0; x + side <= colour.width(); x += side) {
            QPixmap picture = QPixmap::fromImage(colour.copy(x, 0, side, side));
            picture.setMask(picture.createMaskFromColor(QColor::fromRgb(kPageBackground), Qt::MaskInColor));
            icons.emplace_back(picture);
        }
    }
    const tagGObjInfo* tools = catalogue.info();
    for (int i = 0; i < catalogue.count(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(tools[i].name), this);
        if (tools[i].imageIndex >= 0 && tools[i].imageIndex < static_cast<int>(icons.size()))
            item->setIcon(icons[static_cast<size_t>(tools[i].imageIndex)]);
        item->setData(Qt::UserRole, i);
    }
}

void CMeasureAnnotationDockWnd::ToolPage::DropHighlight()
{
    m_highlighted = -1;
    clearSelection();
    setCurrentItem(nullptr, QItemSelectionModel::Clear);
}

void CMeasureAnnotationDockWnd::ToolPage::Highlight(int row)
{
    m_highlighted = row;
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void CMeasureAnnotationDockWnd::ToolPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dock.PickAt(*this, event->position().toPoint());
    else
        QListWidget::mousePressEvent(event);
}

void CMeasureAnnotationDockWnd::ToolPage::resizeEvent(QResizeEvent* event)
{
    QListWidget::resizeEvent(event);
    doItemsLayout();
}

// ---- dock

CMeasureAnnotationDockWnd::CMeasureAnnotationDockWnd(LANGID language, QWidget* parent)
    : QWidget(parent), m_language(language)
{
    setObjectName("CMeasureAnnotationDockWnd");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bar = new QToolBox(this);
    m_bar->setObjectName("100");
    layout->addWidget(m_bar);
    for (PageKind kind : {PageKind::Measurement, PageKind::EdgeTools, PageKind::Annotation, PageKind::AutoMeasure})
        m_pages[static_cast<int>(kind)] = new ToolPage(*this, kind);
    Page(PageKind::Measurement)->setObjectName("100");
    Page(PageKind::Annotation)->setObjectName("102");
    m_bar->addItem(Page(PageKind::Measurement), ZoomToolsString(480, language));
    m_bar->addItem(Page(PageKind::Annotation), ZoomToolsString(482, language));
    // The automatic edge tools work on the active document's image; their page is offered like the others.
    Page(PageKind::AutoMeasure)->setObjectName("4230");
    m_bar->addItem(Page(PageKind::AutoMeasure), ZoomToolsString(4230, language));
    m_bar->setCurrentIndex(0);
    // The page not in the bar is owned here.
    Page(PageKind::EdgeTools)->setParent(this);
    Page(PageKind::EdgeTools)->hide();
}

CMeasureAnnotationDockWnd::~CMeasureAnnotationDockWnd()
{
    // Entries are read by pointer while the pages live; the catalogues go with the dock.
    for (ToolPage*& page : m_pages) {
        delete page;
        page = nullptr;
    }
    Destroy2DMeasureInfo();
    DestroyAnnotationInfo();
    DestroyAutoMeasureInfo();
}

CMeasureAnnotationDockWnd::ToolPage* CMeasureAnnotationDockWnd::Page(PageKind kind) const
{
    return m_pages[static_cast<int>(kind)];
}

void CMeasureAnnotationDockWnd::Follow(DocumentRegistry* registry)
{
    m_registry = registry;
    if (!registry)
        return;
    connect(registry, &DocumentRegistry::ActiveDocumentChanged, this, &CMeasureAnnotationDockWnd::FollowDocument);
    FollowDocument(registry->GetActiveDocument());
}

void CMeasureAnnotationDockWnd::FollowDocument(CVistrelDoc* document)
{
    disconnect(m_creationConnection);
    CVistrelView* view = document ? document->GetImageView() : nullptr;
    if (CImageDispWnd* window = view ? view->GetDispWnd() : nullptr)
        m_creationConnection =
            connect(window, &CImageDispWnd::CreationEnded, this, &CMeasureAnnotationDockWnd::ClearPickedTool);
}

void CMeasureAnnotationDockWnd::ClearPickedTool()
{
    for (ToolPage* page : m_pages)
        if (page)
            page->DropHighlight();
}

void CMeasureAnnotationDockWnd::PickAt(ToolPage& page, QPoint point)
{
    QListWidgetItem* item = page.itemAt(point);
    if (!item)
        return;
    CVistrelDoc* document = m_registry ? m_registry->GetActiveDocument() : nullptr;
    if (!document)
        return;
    CVistrelView* view = document->GetImageView();
    CImageDispWnd* window = view ? view->GetDispWnd() : nullptr;
    // While an operation runs the view takes no other tool.
    if (window && (window->GetToolMode() & CImageDispWnd::kCalibrationMode))
        return;
    if (view)
        view->Commands().ApplyRegionTool();
    const int row = page.row(item);
    if (row == page.Highlighted()) {
        page.DropHighlight();
        return;
    }
    page.Highlight(row);
    const Catalogue catalogue = CatalogueOf(page.Kind());
    const int index = item->data(Qt::UserRole).toInt();
    if (catalogue.info && index >= 0 && index < catalogue.count())
        RunAction(page, catalogue.info()[index]);
}

void CMeasureAnnotationDockWnd::RunAction(ToolPage& page, const tagGObjInfo& tool)
{
    CVistrelDoc* document = m_registry ? m_registry->GetActiveDocument() : nullptr;
    if (!document)
        return;
    if (page.Kind() == PageKind::AutoMeasure) {
        CVistrelView* view = document->GetImageView();
        if (view && view->IsLiveView()) {
            // Nothing started: the palette must not show a tool as picked.
            page.DropHighlight();
            AfxMessageBox(ZoomToolsString(770, m_language).toStdString());
            return;
        }
    }
    // The document hands its current image to the overlay before the shape starts.
    if (!document->AddObjectOfType(tool.shape))
        page.DropHighlight();
}
