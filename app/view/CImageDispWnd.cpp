#include "view/CImageDispWnd.h"

#include "core/ProgramServices.h"
// The document header keeps its child frame in a QPointer, which needs the complete class.
#include <QPainter>
#include <QMdiSubWindow>

#include "document/CVistrelDoc.h"
#include "document/ClipboardImage.h"
#include "frame/CommandIds.h"
#include "view/ViewCommands.h"

#include "calibkeeper/CCalibKeeper.h"
#include "framepool/CQvFramePool.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/FiguronCursors.h"
#include "latticer/CLatticer.h"
#include "qvimage/CClientDC.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageOps.h"
#include "qvplglib/CPlgView.h"
#include "resources/StringTable.h"
#include "types/WinUser.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

// What a plug-in view's OnSetCursor is told: the pointer is over the client area during a mouse move.
constexpr UINT kHitClient = 1;
constexpr UINT kMouseMoveMessage = 0x0200;

constexpr UINT kMsgKeyDown = 256;
constexpr UINT kMsgMouseMove = 512;
constexpr UINT kMsgLButtonDown = 513;
constexpr UINT kMsgLButtonUp = 514;
constexpr UINT kMsgRButtonDown = 516;
constexpr UINT kMsgRButtonUp = 517;

constexpr int kGlideSteps = 30;
constexpr int kGlideIntervalMs = 10;

constexpr const char* kModule = "Vistrel";
constexpr UINT IDS_NO_RIGHT_BUTTON_WHILE_CALIBRATING = 764;
// The context menu's captions.
constexpr UINT IDS_MENU_CUT = 8260;
constexpr UINT IDS_MENU_COPY = 8261;
constexpr UINT IDS_MENU_PASTE = 8262;
constexpr UINT IDS_MENU_PROPERTIES = 8263;

const StringTableRegistrar kDisplayWindowStrings(
    kModule,
    {
        {IDS_NO_RIGHT_BUTTON_WHILE_CALIBRATING, "The right mouse button cannot be used while calibrating",
         "교정시에는 마우스 우측버튼을 사용 할 수 없습니다"},
        {IDS_MENU_CUT, "Cu&t", "잘라내기(&T)"},
        {IDS_MENU_COPY, "&Copy", "복사(&C)"},
        {IDS_MENU_PASTE, "&Paste", "붙여넣기(&P)"},
        {IDS_MENU_PROPERTIES, "P&roperties", "속성(&R)"},
    });

std::recursive_mutex& ModuleFrameLock()
{
    static std::recursive_mutex lock;
    return lock;
}

bool IsCreatingState(int state)
{
    return state == GS_FIRST_POINT || state == GS_ADDING;
}

}  // namespace

class CImageDispWnd::DocumentWatch
{
public:
    explicit DocumentWatch(CImageDispWnd* wnd)
        : m_wnd(wnd), m_owner(wnd->m_doc.owner), m_owned(!wnd->m_doc.owner.isNull()), m_objects(wnd->m_doc.objects),
          m_regions(wnd->m_doc.regions)
    {
    }
    // The window was deleted, its document deleted, or the window let go of the document (the view unbinds it
    // when the document announces it is closing).
    bool Gone() const
    {
        return !m_wnd || (m_owned && !m_owner) || m_wnd->m_doc.objects != m_objects ||
               m_wnd->m_doc.regions != m_regions;
    }

private:
    QPointer<CImageDispWnd> m_wnd;
    QPointer<QObject> m_owner;
    bool m_owned;
    const CQvGObjectContainer* m_objects;
    const CQvGObjectContainer* m_regions;
};

std::recursive_mutex& DisplayFrameLock()
{
    if (ProgramServices* program = TheProgram())
        return program->FrameLock();
    return ModuleFrameLock();
}

CImageDispWnd::CImageDispWnd(QWidget* parent) : CQvDispWnd(parent)
{
    setObjectName(kWindowName);
    setFocusPolicy(Qt::StrongFocus);
    // The child frame draws the edge; a border of the window's own would take the client area the frame is sized
    // for, and an image shown 1:1 would get scroll bars.
    setFrameShape(QFrame::NoFrame);
}

CImageDispWnd::~CImageDispWnd()
{
    Unbind();
}

void CImageDispWnd::Bind(const DispWndDocument& document)
{
    Unbind();
    m_doc = document;
    for (CQvGObjectContainer* container : {m_doc.objects, m_doc.regions})
        if (container) {
            container->SetCanvasWnd(this);
            container->SetPixelCenter(1);
        }
    if (CQvImage* image = Image())
        SetCanvasSize(CSize(image->GetWidth(), image->GetHeight()));
    SyncContainers();
    Invalidate();
}

void CImageDispWnd::Unbind()
{
    for (CQvGObjectContainer* container : {m_doc.objects, m_doc.regions})
        if (container && container->GetCanvasWnd() == this)
            container->SetCanvasWnd(nullptr);
    ReleaseMouse();
    m_doc = DispWndDocument{};
}

CQvImage* CImageDispWnd::Image() const
{
    return m_doc.framePool ? &m_doc.framePool->GetImage() : nullptr;
}

CQvGObjectContainer* CImageDispWnd::InputContainer() const
{
    return (m_toolMode & kRegionMode) ? m_doc.regions : m_doc.objects;
}

template <class Call>
void CImageDispWnd::ForEachPlugInView(Call call)
{
    if (!m_doc.plugIns)
        return;
    // A plug-in may detach itself from inside a handler; walk a copy of the views.
    std::vector<CPlgView*> views;
    for (const auto& record : *m_doc.plugIns)
        if (record && record->activation && record->view)
            views.push_back(record->view);
    for (CPlgView* view : views)
        call(view);
}

template <class Call>
void CImageDispWnd::OfferToPlugIns(int mask, Call call)
{
    if ((m_toolMode & mask) == 0)
        ForEachPlugInView(call);
}

void CImageDispWnd::InvalidateUnlessLive()
{
    if (!IsLive())
        Invalidate(0);
}

// ---------------------------------------------------------------------------------------------------------------
// Zoom and synchronisation

void CImageDispWnd::Zoom(int in, CPoint anchor)
{
    CQvDispWnd::Zoom(in, anchor);
    SyncContainers();
}

void CImageDispWnd::SetZoom(_QVZOOM level, CPoint anchor)
{
    CQvDispWnd::SetZoom(level, anchor);
    SyncContainers();
}

void CImageDispWnd::SetZoom(float ratio, CPoint anchor)
{
    if (!m_zoomForm)
        return;
    CQvDispWnd::SetZoom(ratio, anchor);
    SyncContainers();
}

void CImageDispWnd::SyncContainers()
{
    CSize imageSize;
    if (CQvImage* image = Image())
        imageSize = CSize(image->GetWidth(), image->GetHeight());
    for (CQvGObjectContainer* container : {m_doc.objects, m_doc.regions})
        if (container) {
            container->SetRatio(GetRatio());
            container->SetRelative(GetZoomedPoint(CPoint(0, 0)));
            container->SetCanvasSize(imageSize);
        }
}

void CImageDispWnd::OnSize(UINT type, int cx, int cy)
{
    CQvDispWnd::OnSize(type, cx, cy);
    ForEachPlugInView([&](CPlgView* view) { view->OnSize(type, cx, cy); });
    SyncContainers();
}

void CImageDispWnd::OnScrollPositionChanged()
{
    CQvDispWnd::OnScrollPositionChanged();
    SyncContainers();
}

void CImageDispWnd::OnTimer(UINT id)
{
    ForEachPlugInView([&](CPlgView* view) { view->OnTimer(id); });
    CQvDispWnd::OnTimer(id);
}

void CImageDispWnd::AfterObjectEdit()
{
    if (m_doc.objects)
        m_doc.objects->UpdateAllObjectDataLabel();
    if (m_host)
        m_host->ObjectsChanged();
    InvalidateUnlessLive();
}

void CImageDispWnd::OnImageChanged()
{
    if (CQvImage* image = Image()) {
        const CSize size(image->GetWidth(), image->GetHeight());
        if (size != GetCanvasSize())
            SetCanvasSize(size);
    }
    SyncContainers();
    InvalidateUnlessLive();
    if (m_host)
        m_host->ImageChanged();
    emit ImageChanged();
}

void CImageDispWnd::ClearRegion()
{
    if (!m_doc.regions)
        return;
    m_doc.regions->SelectionMode(0);
    m_doc.regions->RemoveAll();
}

void CImageDispWnd::GlideCursorToCentre()
{
    StopGlide();
    const QPoint start = QCursor::pos();
    const QPoint target = viewport()->mapToGlobal(viewport()->rect().center());
    auto* timer = new QTimer(this);
    timer->setInterval(kGlideIntervalMs);
    auto step = std::make_shared<int>(0);
    connect(timer, &QTimer::timeout, this, [this, timer, step, start, target] {
        ++*step;
        const double t = static_cast<double>(*step) / kGlideSteps;
        QCursor::setPos(start.x() + static_cast<int>(std::lround((target.x() - start.x()) * t)),
                        start.y() + static_cast<int>(std::lround((target.y() - start.y()) * t)));
        if (*step >= kGlideSteps) {
            timer->stop();
            timer->deleteLater();
            setFocus();
        }
    });
    m_glide = timer;
    timer->start();
}

void CImageDispWnd::StopGlide()
{
    // A press means the user has taken the pointer where they want it: the glide must not pull it away.
    if (m_glide) {
        m_glide->stop();
        m_glide->deleteLater();
    }
}

void CImageDispWnd::ActivatePlugInViews(int activate)
{
    if (!m_doc.plugIns)
        return;
    for (const auto& record : *m_doc.plugIns) {
        if (!record || !record->view)
            continue;
        CPlgView* view = record->view;
        if (!view)
            continue;
        if (record->activation || !activate) {
            view->OnActivate(activate);
        } else if (view->Run()) {
            record->activation = 1;
            view->OnActivate(activate);
        }
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Painting

int CImageDispWnd::OnCreate()
{
    if (CQvDispWnd::OnCreate() == -1)
        return -1;
    m_exitButton = new QPushButton(viewport());
    m_exitButton->setObjectName(QString::number(kExitButtonId));
    m_exitButton->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_exitButton->setFixedSize(23, 23);
    m_exitButton->move(0, 0);
    m_exitButton->hide();
    connect(m_exitButton, &QPushButton::clicked, this, [this] {
        if (m_host && m_host->IsFullScreen())
            m_host->LeaveFullScreen();
    });
    return 0;
}

void CImageDispWnd::OnDraw(CDC* dc)
{
    struct AfterDrawing
    {
        CImageDispWnd* window;
        ~AfterDrawing() { emit window->Drawn(); }
    } afterDrawing{this};
    std::lock_guard lock(DisplayFrameLock());
    CQvImage* image = Image();
    if (IsLive() || !image || image->IsEmpty()) {
        DrawImage(dc, nullptr);
        if (IsLive() && !m_livePicture.isNull()) {
            const CPoint origin = GetZoomedPoint(CPoint(0, 0));
            dc->GetPainter().drawImage(QPoint(origin.x, origin.y), m_livePicture);
        }
        return;
    }
    DrawImage(dc, image);
    if (m_doc.objects)
        m_doc.objects->Draw(dc, CQvGObjectContainer::kDrawAllWithGrips);
    if (m_doc.regions)
        m_doc.regions->Draw(dc, CQvGObjectContainer::kDrawAllWithGrips);
    DrawGrid(dc);
}

void CImageDispWnd::SetLivePicture(QImage picture)
{
    m_livePicture = std::move(picture);
    Invalidate();
}

void CImageDispWnd::DrawGrid(CDC* dc)
{
    CLatticer* grid = m_doc.grid;
    CQvImage* image = Image();
    if (!grid || !grid->IsShow() || !image)
        return;
    const double upp = m_doc.calibration ? m_doc.calibration->GetUnitsPerPixel() : 1.0;
    grid->Update(grid->GetType(), SIZE{image->GetWidth(), image->GetHeight()}, upp, grid->GetGap());
    grid->ShowRuler(1);
    const CPoint origin = GetZoomedPoint(CPoint(0, 0));
    grid->Draw(dc, POINT{origin.x, origin.y}, GetRatio(), 100);
}

QImage CImageDispWnd::RenderToImage(int flags)
{
    CQvImage* image = Image();
    if (!image || image->IsEmpty())
        return {};
    QImage result(image->GetWidth(), image->GetHeight(), QImage::Format_RGB32);
    result.setDevicePixelRatio(1.0);
    result.fill(Qt::black);
    CDC dc(result);
    if (flags & 0x01)
        DrawImage(&dc, image, CRect(0, 0, image->GetWidth(), image->GetHeight()), 1.0f);
    if ((flags & 0x06) && m_doc.objects) {
        // The overlay draws at the window's zoom; for the picture it draws 1:1 and goes back afterwards.
        CQvGObjectContainer* objects = m_doc.objects;
        const float ratio = objects->GetRatio();
        const CPoint origin = objects->GetRelative();
        const int noRedraw = objects->GetNoRedraw();
        objects->SetNoRedraw(1);
        objects->SetRatio(1.0f);
        objects->SetRelative(CPoint(0, 0));
        objects->Draw(&dc, CQvGObjectContainer::kDrawAll);
        objects->SetRatio(ratio);
        objects->SetRelative(origin);
        objects->SetNoRedraw(noRedraw);
    }
    return result.convertToFormat(QImage::Format_RGB888);
}

void CImageDispWnd::LayOutOverlay()
{
    CQvGObjectContainer* objects = m_doc.objects;
    if (!objects)
        return;
    // Drawn into a scratch picture: the window's own surface and the screen stay as they are.
    QImage scratch(1, 1, QImage::Format_RGB32);
    CDC dc(scratch);
    const int noRedraw = objects->GetNoRedraw();
    objects->SetNoRedraw(1);
    objects->Draw(&dc, CQvGObjectContainer::kDrawAllWithGrips);
    objects->SetNoRedraw(noRedraw);
}

void CImageDispWnd::BurnObjects(int flags)
{
    CQvImage* image = Image();
    CQvGObjectContainer* objects = m_doc.objects;
    if (!image || image->IsEmpty() || !objects)
        return;
    QImage picture(image->GetWidth(), image->GetHeight(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(1.0);
    {
        // The painter must have finished with the picture before its pixels are read.
        CDC dc(picture);
        DrawImage(&dc, image, CRect(0, 0, image->GetWidth(), image->GetHeight()), 1.0f);
        const float ratio = objects->GetRatio();
        const CPoint origin = objects->GetRelative();
        const int noRedraw = objects->GetNoRedraw();
        objects->SetNoRedraw(1);
        objects->SetRatio(1.0f);
        objects->SetRelative(CPoint(0, 0));
        if (flags & kBurnMeasurements)
            objects->Draw(&dc, CQvGObjectContainer::kDrawMeasurements);
        if (flags & kBurnAnnotations)
            objects->Draw(&dc, CQvGObjectContainer::kDrawAnnotations);
        objects->SetRatio(ratio);
        objects->SetRelative(origin);
        objects->SetNoRedraw(noRedraw);
    }
    CQvImage burnt;
    if (!QImageToColourImage(picture, burnt))
        return;
    if (flags & kBurnMeasurements)
        objects->RemoveMeasurement();
    if (flags & kBurnAnnotations)
        objects->RemoveAnnotation();
    *image = std::move(burnt);
    OnImageChanged();
}

// ---------------------------------------------------------------------------------------------------------------
// Mouse

void CImageDispWnd::mousePressEvent(QMouseEvent* event)
{
    // A press outside the viewport reaches the window only while a button pressed inside is still down: no point.
    if (viewport()->rect().contains(event->position().toPoint()))
        CQvDispWnd::mousePressEvent(event);
}

bool CImageDispWnd::eventFilter(QObject* watched, QEvent* event)
{
    // Seen at the window the press came to, before the toolkit hands it to the widget that holds the mouse. The
    // window holds it from click to click while an object is drawn; a press anywhere else (a tool palette, a
    // toolbar, a menu, another window) is meant for what lies under the pointer, never for a point: the window
    // lets go first, so the press, its release and its context menu all go there.
    if (event->type() == QEvent::MouseButtonPress && watched->isWindowType() &&
        QWidget::mouseGrabber() == viewport()) {
        const QPointF global = static_cast<QMouseEvent*>(event)->globalPosition();
        const bool inside = watched == viewport()->window()->windowHandle() &&
                            viewport()->rect().contains(viewport()->mapFromGlobal(global.toPoint()));
        if (!inside)
            ReleaseMouse();
    }
    return CQvDispWnd::eventFilter(watched, event);
}

void CImageDispWnd::OnLButtonDown(UINT flags, CPoint point)
{
    StopGlide();
    OfferToPlugIns(kPlugInMouseMask, [&](CPlgView* view) { view->OnLButtonDown(flags, point); });
    const CPoint p = GetRealPoint(point, 1);
    const bool region = (m_toolMode & kRegionMode) != 0;
    if (CQvGObjectContainer* container = InputContainer()) {
        const DocumentWatch watch(this);
        container->LButtonDown(flags, p);
        if (watch.Gone())
            return;
    }
    ToolModeStep(kMsgLButtonDown);

    if (region) {
        InvalidateUnlessLive();
    } else if ((m_toolMode & kCalibrationMode) && !(m_toolMode & kSelectionMode)) {
        // The calibration line is done with its second click: from then on it can only be selected and moved.
        if (++m_calibrationClicks >= 2) {
            m_calibrationClicks = 0;
            ModifyToolMode(kCreating, kSelectionMode);
            if (CQvGObjectContainer* objects = m_doc.objects) {
                objects->UnSelectAll();
                objects->SelectionMode(1);
                if (!objects->GetObjects().empty())
                    objects->SelectObjects(objects->GetObjects().back(), 0);
            }
            InvalidateUnlessLive();
        }
    }
    CQvDispWnd::OnLButtonDown(flags, point);
}

void CImageDispWnd::OnLButtonUp(UINT flags, CPoint point)
{
    OfferToPlugIns(kPlugInMouseMask, [&](CPlgView* view) { view->OnLButtonUp(flags, point); });
    const CPoint p = GetRealPoint(point, 1);
    const bool region = (m_toolMode & kRegionMode) != 0;
    const bool wasCreating = (m_toolMode & kCreating) != 0;
    if (CQvGObjectContainer* container = InputContainer()) {
        const DocumentWatch watch(this);
        container->LButtonUp(flags, p);
        if (watch.Gone())
            return;
    }
    ToolModeStep(kMsgLButtonUp);

    if (region) {
        if (m_host) {
            CRect area(0, 0, GetCanvasSize().cx - 1, GetCanvasSize().cy - 1);
            if (m_doc.regions && !m_doc.regions->GetMainObjList().empty()) {
                area = m_doc.regions->GetMainObjList().front()->GetMBR();
                area.right += 1;
                area.bottom += 1;
            }
            m_host->SetAcquisitionArea(area);
        }
    } else if (!(m_toolMode & kCalibrationMode) && m_host && (wasCreating || (m_toolMode & kSelectionMode))) {
        m_host->ObjectsChanged();
    }
    CQvDispWnd::OnLButtonUp(flags, point);
}

void CImageDispWnd::OnLButtonDblClk(UINT flags, CPoint point)
{
    ForEachPlugInView([&](CPlgView* view) { view->OnLButtonDblClk(flags, point); });
    if (m_doc.objects && m_doc.objects->GetSelectedObjectCount() > 0 && !(m_toolMode & kCreating) && m_host) {
        const DocumentWatch watch(this);
        m_host->RunViewCommand(cmd::ID_OBJECT_PROPERTIES);
        if (watch.Gone())
            return;
    }
    CQvDispWnd::OnLButtonDblClk(flags, point);
}

void CImageDispWnd::OnRButtonDown(UINT flags, CPoint point)
{
    StopGlide();
    OfferToPlugIns(kPlugInRightDownMask, [&](CPlgView* view) { view->OnRButtonDown(flags, point); });
    if (m_toolMode & kCalibrationMode) {
        MessageBox(LoadString(kModule, IDS_NO_RIGHT_BUTTON_WHILE_CALIBRATING), std::string(),
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const CPoint p = GetRealPoint(point, 1);
    if (m_toolMode & kRegionMode) {
        if (m_doc.regions) {
            const DocumentWatch watch(this);
            m_doc.regions->RButtonDown(flags, p);
            if (watch.Gone())
                return;
        }
        ToolModeStep(kMsgRButtonDown);
    } else {
        {
            std::lock_guard lock(DisplayFrameLock());
            if (m_doc.objects) {
                const DocumentWatch watch(this);
                m_doc.objects->RButtonDown(flags, p);
                if (watch.Gone())
                    return;
            }
            ToolModeStep(kMsgRButtonDown);
        }
        AfterObjectEdit();
    }
    CQvDispWnd::OnRButtonDown(flags, point);
}

void CImageDispWnd::OnRButtonUp(UINT flags, CPoint point)
{
    OfferToPlugIns(kPlugInMouseMask, [&](CPlgView* view) { view->OnRButtonUp(flags, point); });
    if (CQvGObjectContainer* container = InputContainer())
        container->RButtonUp(flags, GetRealPoint(point, 1));
    ToolModeStep(kMsgRButtonUp);
    CQvDispWnd::OnRButtonUp(flags, point);
}

void CImageDispWnd::OnRButtonDblClk(UINT flags, CPoint point)
{
    ForEachPlugInView([&](CPlgView* view) { view->OnRButtonDblClk(flags, point); });
    CQvDispWnd::OnRButtonDblClk(flags, point);
}

void CImageDispWnd::OnMButtonDown(UINT flags, CPoint point)
{
    StopGlide();
    ForEachPlugInView([&](CPlgView* view) { view->OnMButtonDown(flags, point); });
    CQvDispWnd::OnMButtonDown(flags, point);
}

void CImageDispWnd::OnMButtonUp(UINT flags, CPoint point)
{
    ForEachPlugInView([&](CPlgView* view) { view->OnMButtonUp(flags, point); });
    CQvDispWnd::OnMButtonUp(flags, point);
}

void CImageDispWnd::OnMButtonDblClk(UINT flags, CPoint point)
{
    ForEachPlugInView([&](CPlgView* view) { view->OnMButtonDblClk(flags, point); });
    CQvDispWnd::OnMButtonDblClk(flags, point);
}

void CImageDispWnd::OnMouseMove(UINT flags, CPoint point)
{
    OfferToPlugIns(kPlugInMouseMask, [&](CPlgView* view) { view->OnMouseMove(flags, point); });
    const CPoint p = GetRealPoint(point, 1);
    if (const CQvImage* image = Image(); image && p.x >= 0 && p.y >= 0 && p.x < image->GetWidth() &&
                                          p.y < image->GetHeight())
        OfferToPlugIns(kPlugInMouseMask, [&](CPlgView* view) { view->OnMouseMoveOnImage(flags, p); });
    if (CQvGObjectContainer* container = InputContainer()) {
        std::unique_ptr<CDC> dc = GetSurfaceDC();
        container->MouseMove(dc.get(), flags, p);
    }
    ToolModeStep(kMsgMouseMove);
    if (m_host) {
        const double upp = m_doc.calibration ? m_doc.calibration->GetUnitsPerPixel() : 1.0;
        m_host->ShowMousePosition(p.x * upp, p.y * upp);
    }
    ChooseCursor(p);
    CQvDispWnd::OnMouseMove(flags, point);
    emit CursorMoved(QPoint(point.x, point.y));
}

BOOL CImageDispWnd::OnMouseWheel(UINT, short delta, CPoint)
{
    // Towards the user zooms in.
    Zoom(delta < 0 ? 1 : 0);
    if (m_host)
        m_host->ZoomChanged();
    return 1;
}

void CImageDispWnd::ChooseCursor(CPoint imagePoint)
{
    int chosen = 0;
    ForEachPlugInView(
        [&](CPlgView* view) { chosen |= view->OnSetCursor(this, kHitClient, kMouseMoveMessage) ? 1 : 0; });
    if (CQvGObjectContainer* objects = m_doc.objects; objects && !(m_toolMode & kRegionMode))
        chosen |= objects->SetCursorShape(imagePoint);
    if (chosen)
        return;
    if (m_toolMode & kHandTool)
        viewport()->setCursor(Qt::OpenHandCursor);
    else if (m_toolMode & kSelectionMode)
        viewport()->setCursor(Qt::ArrowCursor);
    else
        viewport()->unsetCursor();
}

// ---------------------------------------------------------------------------------------------------------------
// Tool modes

void CImageDispWnd::ShowColoursOf(const CQvGObject* object, bool creating)
{
    if (!m_host || !object)
        return;
    const COLORREF line = object->GetProperty().GetLineColor();
    COLORREF text = object->GetProperty().GetTextColor();
    const bool measurement = object->GetGOType() == GOTYPE_MEASURE || object->GetGOType() == GOTYPE_MEASURE_ALT;
    if (!creating && measurement)
        if (const CQvGObject* label = object->GetLabelObject())
            text = label->GetProperty().GetTextColor();
    m_host->ShowObjectColours(line, text);
}

void CImageDispWnd::RegionToolStep(UINT message)
{
    CQvGObjectContainer* regions = m_doc.regions;
    const int state = regions ? regions->GetObjState() : GS_IDLE;
    if (state == GS_IDLE && message == kMsgRButtonDown) {
        m_toolMode &= ~kRegionMode;
        SetAutoScroll(0);
        ReleaseMouse();
        return;
    }
    if (state == GS_IDLE || IsCreatingState(state)) {
        m_toolMode = kRegionMode;
        SetAutoScroll(1);
        return;
    }
    if (state & (GS_FINISHED | GS_SELECTION)) {
        if (message == kMsgLButtonUp || message == kMsgRButtonUp)
            SetRegionOfInterestFromOverlay();
        SetAutoScroll(0);
        ReleaseMouse();
    }
}

void CImageDispWnd::SetRegionOfInterestFromOverlay()
{
    CQvImage* image = Image();
    if (!m_doc.regions || !image || image->IsEmpty() || m_doc.regions->GetMainObjList().empty())
        return;
    CQvGObject* shape = m_doc.regions->GetMainObjList().front();
    int kind = QV_ROI_NONE;
    switch (shape->GetObjShape()) {
    case SHAPE_ANNO_RECT: kind = QV_ROI_RECT; break;
    case SHAPE_ANNO_CIRCLE_FROM_CENTER:
    case SHAPE_ANNO_ELLIPSE: kind = QV_ROI_ELLIPSE; break;
    case SHAPE_ANNO_POLYGON: kind = QV_ROI_POLYGON; break;
    default: return;
    }
    const int count = kind == QV_ROI_POLYGON ? shape->GetPointCount() : std::min(2, shape->GetPointCount());
    if (count <= 0)
        return;
    auto points = std::make_unique<int[]>(2 * static_cast<size_t>(count));
    const _RPOINT* source = shape->GetPoint();
    for (int i = 0; i < count; ++i) {
        // Points dragged past the edge still name a region inside the image.
        points[2 * i] = std::clamp(static_cast<int>(source[i].x), 0, image->GetWidth() - 1);
        points[2 * i + 1] = std::clamp(static_cast<int>(source[i].y), 0, image->GetHeight() - 1);
    }
    image->SetRoi(kind, std::move(points), count);
}

void CImageDispWnd::ToolModeStep(UINT message)
{
    if (m_toolMode & kRegionMode) {
        RegionToolStep(message);
        return;
    }
    CQvGObjectContainer* objects = m_doc.objects;
    if (!objects)
        return;
    const int state = objects->GetObjState();
    if (IsCreatingState(state)) {
        // Waiting for a first point there is nothing to follow: the mouse stays free (the overlay held it on when
        // the tool began the next object by itself), so that moving to another tool neither scrolls the image
        // nor takes the click that picks the tool.
        if (state == GS_FIRST_POINT)
            ReleaseMouse();
        ModifyToolMode(kSelectionMode, kCreating);
        const CQvGObject* creating = objects->GetCreatingObject();
        const bool textTyping = creating && creating->GetObjShape() == SHAPE_TEXT && state == GS_ADDING;
        SetAutoScroll(textTyping ? 0 : 1);
        if (message == kMsgLButtonDown)
            ShowColoursOf(creating, true);
        return;
    }
    if (m_host)
        m_host->ObjectsChanged();
    SetAutoScroll(0);
    if ((m_toolMode & kCreating) && state == GS_IDLE) {
        ModifyToolMode(kCreating, kSelectionMode);
        objects->SelectionMode(1);
        m_contextLatch = 0;
        emit CreationEnded();
    } else {
        m_toolMode &= ~kCreating;
    }
    if ((m_toolMode & kSelectionMode) && message == kMsgLButtonDown && objects->GetSelectedObjectCount() == 1)
        ShowColoursOf(objects->GetSelection().front(), false);
}

// ---------------------------------------------------------------------------------------------------------------
// Keys

void CImageDispWnd::OnKeyDown(UINT key, UINT repeatCount, UINT flags)
{
    if (key == VK_ESCAPE && m_host && m_host->IsFullScreen()) {
        m_host->LeaveFullScreen();
        return;
    }
    if (m_toolMode & kCreating) {
        // Any key abandons the shape being drawn; a calibration line drawn next counts its clicks from the first.
        {
            std::lock_guard lock(DisplayFrameLock());
            if (m_doc.objects)
                m_doc.objects->CancelObject();
            m_calibrationClicks = 0;
            ToolModeStep(kMsgKeyDown);
        }
        InvalidateUnlessLive();
        return;
    }
    const bool zoomKey = key == VK_ADD || key == VK_SUBTRACT;
    if ((m_toolMode & kCalibrationMode) && !zoomKey)
        return;
    ForEachPlugInView([&](CPlgView* view) { view->OnKeyDown(key, repeatCount, flags); });

    if ((m_toolMode & kRegionMode) && key == VK_DELETE) {
        CQvImage* image = Image();
        if (m_doc.regions && !m_doc.regions->GetMainObjList().empty() && image && !image->IsEmpty()) {
            m_doc.framePool->PushImage(-1, -1, -1, -1);
            QVSetFill(image, 255, 0);
            if (m_host)
                m_host->ImageEdited();
            InvalidateUnlessLive();
        }
    } else if (m_toolMode & kRegionMode) {
        // The region takes only Delete; the measurement objects still hear the other keys (Escape cancels one
        // being drawn). The region's own mode word is left as it is.
        {
            std::lock_guard lock(DisplayFrameLock());
            if (m_doc.objects)
                m_doc.objects->KeyDown(key, repeatCount, flags);
        }
        if (m_host)
            m_host->ObjectsChanged();
        InvalidateUnlessLive();
    } else {
        std::lock_guard lock(DisplayFrameLock());
        if (m_doc.objects)
            m_doc.objects->KeyDown(key, repeatCount, flags);
        ToolModeStep(kMsgKeyDown);
        if (((m_toolMode & kSelectionMode) || key == VK_ESCAPE) && m_host)
            m_host->ObjectsChanged();
    }
    if (zoomKey) {
        Zoom(key == VK_ADD ? 1 : 0);
        if (m_host)
            m_host->ZoomChanged();
    }
    CQvDispWnd::OnKeyDown(key, repeatCount, flags);
}

void CImageDispWnd::OnKeyUp(UINT key, UINT repeatCount, UINT flags)
{
    ForEachPlugInView([&](CPlgView* view) { view->OnKeyUp(key, repeatCount, flags); });
    CQvDispWnd::OnKeyUp(key, repeatCount, flags);
}

void CImageDispWnd::OnChar(UINT character, UINT repeatCount, UINT flags)
{
    ForEachPlugInView([&](CPlgView* view) { view->OnChar(character, repeatCount, flags); });
    CQvDispWnd::OnChar(character, repeatCount, flags);
}

// ---------------------------------------------------------------------------------------------------------------
// Context menu

std::vector<UINT> CImageDispWnd::ContextMenuCommands()
{
    if (CompanionModuleHoldsContextMenu() || (m_toolMode & kCreating))
        return {};
    if (!m_contextLatch) {
        // The right click that ended a drawing is used up.
        m_contextLatch = 1;
        return {};
    }
    if (m_doc.objects && m_doc.objects->GetSelectedObjectCount() > 0)
        return {cmd::ID_EDIT_CUT, cmd::ID_EDIT_COPY, cmd::ID_EDIT_PASTE, cmd::ID_OBJECT_PROPERTIES};
    if (ClipboardHasPasteableContent())
        return {cmd::ID_EDIT_PASTE};
    return {};
}

void CImageDispWnd::contextMenuEvent(QContextMenuEvent* event)
{
    if (!viewport()->rect().contains(event->pos()))
        return;  // the right button went down inside and came up outside
    const std::vector<UINT> commands = ContextMenuCommands();
    if (commands.empty() || !m_host)
        return;
    static const std::pair<UINT, UINT> kCaptions[] = {
        {cmd::ID_EDIT_CUT, IDS_MENU_CUT},
        {cmd::ID_EDIT_COPY, IDS_MENU_COPY},
        {cmd::ID_EDIT_PASTE, IDS_MENU_PASTE},
        {cmd::ID_OBJECT_PROPERTIES, IDS_MENU_PROPERTIES},
    };
    delete m_contextMenu;
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName("ImageContextMenu");
    for (UINT id : commands)
        for (const auto& [captionId, caption] : kCaptions)
            if (captionId == id) {
                QAction* action = m_contextMenu->addAction(QString::fromStdString(LoadString(kModule, caption)));
                action->setData(id);
                action->setEnabled(m_host->IsViewCommandEnabled(id));
                connect(action, &QAction::triggered, this, [this, id] {
                    if (m_host)
                        m_host->RunViewCommand(id);
                });
            }
    m_contextMenu->popup(event->globalPos());
}

// ---------------------------------------------------------------------------------------------------------------
// IGObjectCanvas

void CImageDispWnd::InvalidateRect(const CRect* rect)
{
    // The surface is redrawn whole by OnDraw, so only the screen update can be narrowed to the rectangle.
    Invalidate(0);
    if (rect) {
        CRect area = *rect;
        area.NormalizeRect();
        viewport()->update(area.left, area.top, area.Width(), area.Height());
    }
}

void CImageDispWnd::CaptureMouse()
{
    viewport()->grabMouse();
    // Watches for presses elsewhere while the grab lasts (eventFilter).
    qApp->installEventFilter(this);
}

void CImageDispWnd::ReleaseMouse()
{
    qApp->removeEventFilter(this);
    // Only a grab of our own is let go: another widget's must stay.
    if (QWidget::mouseGrabber() == viewport())
        viewport()->releaseMouse();
}

void CImageDispWnd::ReleaseCursorClip()
{
    // The pointer is never confined on this platform; auto-scroll follows it past the edge instead.
}

void CImageDispWnd::SetCursor(UINT id)
{
    viewport()->setCursor(LoadFiguronCursor(id));
}

void CImageDispWnd::SendNotify(UINT message)
{
    if (message == WM_GOBJECT_PROPERTY_CHANGED)
        AfterObjectEdit();
}

std::unique_ptr<CDC> CImageDispWnd::GetSurfaceDC()
{
    if (GetSurface().isNull())
        return nullptr;
    return std::make_unique<CClientDC>(this);
}
