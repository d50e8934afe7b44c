// Documents in the running program, on the offscreen platform with the main frame shown.
// - Opening a 20-megapixel PNG the way the user does (CVistrelApp::OpenDocumentFile: the codec's read, the new
//   document, its child frame and view, until the view's first paint has put the image on the screen), against
//   the codec's bare read of the same file. Likewise a 20-megapixel document file, against the document file's
//   bare read (ReadNativeFile) of the same file.
// - Repainting a 5-megapixel image with 1,000 overlay objects (lines, circles and rectangles, each with its value
//   label) at fit zoom, against the same display window repainting the same image without overlay. Target: the
//   overlay adds under 15 ms.
// Before timing, the opened document must hold the file's pixels and the view must show them, and the window with
// the overlay must show the image and the objects where the window without it shows the image alone.
#include "program/ProgramObjects.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "document/NativeFile.h"
#include "frame/CMainFrame.h"
#include "view/CVistrelView.h"

#include "gdi/CDC.h"
#include "types/WinUser.h"
#include "gobjects/GObjectCanvas.h"
#include "qvcodec/CQvImageCodec.h"
#include "qvimage/CQvImage.h"

#include <QApplication>
#include <QImage>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kOpenWidth = 5472;  // 20 megapixels, 3:2
constexpr int kOpenHeight = 3648;
constexpr int kPaintWidth = 2592;  // 5 megapixels, 4:3
constexpr int kPaintHeight = 1944;
constexpr int kObjects = 1000;

using Clock = std::chrono::steady_clock;

CQvImage Pattern(int width, int height)
{
    CQvImage image;
    image.Create(QV_RGB24, width, height, 0);
    for (int y = 0; y < height; ++y) {
        BYTE* row = image.Get2DBuffer()[y];
        for (int x = 0; x < width * 3; ++x)
            row[x] = static_cast<BYTE>(x / 7 + y / 5 + ((x ^ y) & 15));
    }
    return image;
}

bool SamePixels(const CQvImage& a, const CQvImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetColorModel() != b.GetColorModel())
        return false;
    const size_t row = static_cast<size_t>(a.GetWidth()) * static_cast<size_t>(a.GetBitsPerPixel()) / 8;
    for (int y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(a.GetPixel(0, y), b.GetPixel(0, y), row) != 0)
            return false;
    return true;
}

// Notes the display window's first paint.
class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// A window for drawing an overlay that is never shown.
class SilentCanvas : public IGObjectCanvas
{
public:
    SilentCanvas() : surface(64, 64, QImage::Format_RGB32) {}
    void InvalidateRect(const CRect*) override {}
    void CaptureMouse() override {}
    void ReleaseMouse() override {}
    void ReleaseCursorClip() override {}
    void SetCursor(UINT) override {}
    void SendNotify(UINT) override {}
    std::unique_ptr<CDC> GetSurfaceDC() override { return std::make_unique<CDC>(surface); }
    QImage surface;
};

struct Session
{
    QTemporaryDir scratch;
    std::unique_ptr<ProgramObjects> program;
    CMainFrame* frame = nullptr;
    CQvImage openImage;
    std::string png, document;
};

std::unique_ptr<Session> g_session;

Session& TheSession()
{
    if (g_session)
        return *g_session;
    g_session = [] {
        auto s = std::make_unique<Session>();
        const std::string base = s->scratch.path().toStdString();
        for (const char* folder : {"/root", "/config", "/runtime", "/files"})
            std::filesystem::create_directories(base + folder);
        std::filesystem::permissions(base + "/runtime", std::filesystem::perms::owner_all);
        setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (base + "/runtime").c_str(), 1);
        s->program = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), QString::fromStdString(base + "/root")},
            "/opt/vistrel/Vistrel");
        if (!s->program->App().InitInstance())
            return s;
        s->frame = qobject_cast<CMainFrame*>(s->program->App().GetMainWnd()->Widget());
        s->frame->resize(1600, 1000);
        QApplication::processEvents();
        s->openImage = Pattern(kOpenWidth, kOpenHeight);
        s->png = base + "/files/picture.png";
        s->document = base + "/files/picture.qrx";
        s->program->Codec().Save(s->png.c_str(), &s->openImage, nullptr);
        // The document file is the program's own save of the opened PNG.
        if (CVistrelDoc* doc = s->program->App().OpenDocumentFile(s->png)) {
            std::string path = s->document;
            SaveDocumentImage(doc, path, nullptr, 0);
            s->program->Documents().CloseDocument(doc);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return s;
    }();
    return *g_session;
}

// The window's surface shows the image's pixel at the window's first image point.
bool ShowsImage(CImageDispWnd* wnd, const CQvImage& image)
{
    const CPoint at(std::max(0, wnd->GetOrigin().x), std::max(0, wnd->GetOrigin().y));
    const CPoint p = wnd->GetRealPoint(at, 1);
    const BYTE* bgr = image.GetPixel(p.x, p.y);
    const QImage& surface = wnd->GetSurface();
    return bgr && surface.valid(at.x, at.y) &&
           (surface.pixel(at.x, at.y) & 0xFFFFFF) == (qRgb(bgr[2], bgr[1], bgr[0]) & 0xFFFFFF);
}

// Opens the file into a view and waits for the view's first paint; null (and the time meaningless) on failure.
CVistrelDoc* OpenIntoView(Session& s, const std::string& path, double& seconds)
{
    const Clock::time_point start = Clock::now();
    CVistrelDoc* doc = s.program->App().OpenDocumentFile(path);
    if (!doc || !doc->GetImageView()) {
        std::printf("%s did not open into a view\n", path.c_str());
        return nullptr;
    }
    PaintWatch watch;
    QWidget* viewport = doc->GetImageView()->GetDispWnd()->viewport();
    viewport->installEventFilter(&watch);
    CImageDispWnd* wnd = doc->GetImageView()->GetDispWnd();
    // A paint that left the window grey (a resize came after it) does not count: the image must be on the screen.
    for (int i = 0; i < 2000 && !(watch.painted && ShowsImage(wnd, doc->GetImage())); ++i) {
        watch.painted = false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    viewport->removeEventFilter(&watch);
    if (!watch.painted)
        std::printf("%s: the view never painted\n", path.c_str());
    return watch.painted ? doc : nullptr;
}

void Close(Session& s, CVistrelDoc* doc)
{
    s.program->Documents().CloseDocument(doc);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The window rectangle the image is drawn into.
CRect DrawnRect(CImageDispWnd* wnd)
{
    const CPoint origin = wnd->GetOrigin();
    const CPoint end = wnd->GetZoomedPoint(CPoint(wnd->GetCanvasSize().cx, wnd->GetCanvasSize().cy));
    return CRect(std::max(0, origin.x), std::max(0, origin.y), std::min(end.x, wnd->GetSurface().width()),
                 std::min(end.y, wnd->GetSurface().height()));
}

// The document holds the file's pixels and its window shows them where it maps them.
bool OpenedRight(CVistrelDoc* doc, const CQvImage& expected)
{
    if (!doc || !SamePixels(doc->GetImage(), expected))
        return false;
    CImageDispWnd* wnd = doc->GetImageView()->GetDispWnd();
    const QImage surface = wnd->GetSurface();
    const CRect drawn = DrawnRect(wnd);
    int wrong = 0;
    for (int y = drawn.top; y < drawn.bottom; y += 37)
        for (int x = drawn.left; x < drawn.right; x += 41) {
            const CPoint p = wnd->GetRealPoint(CPoint(x, y), 1);
            if (const BYTE* bgr = expected.GetPixel(p.x, p.y))
                wrong += (surface.pixel(x, y) & 0xFFFFFF) != (qRgb(bgr[2], bgr[1], bgr[0]) & 0xFFFFFF);
        }
    std::printf("opened %dx%d at ratio %.4f into a %dx%d window, %d wrong sampled pixels\n", expected.GetWidth(),
                expected.GetHeight(), wnd->GetRatio(), surface.width(), surface.height(), wrong);
    return wrong == 0;
}

void TimeOpen(benchmark::State& state, const std::string& (*pathOf)(Session&))
{
    Session& s = TheSession();
    if (!s.frame) {
        state.SkipWithError("the program did not start");
        return;
    }
    double seconds = 0;
    CVistrelDoc* first = OpenIntoView(s, pathOf(s), seconds);
    const bool right = OpenedRight(first, s.openImage);
    if (first)
        Close(s, first);
    if (!right) {
        state.SkipWithError("the file did not open into a view showing its pixels");
        return;
    }
    for (auto _ : state) {
        CVistrelDoc* doc = OpenIntoView(s, pathOf(s), seconds);
        if (!doc) {
            state.SkipWithError("the open failed");
            return;
        }
        state.SetIterationTime(seconds);
        Close(s, doc);
    }
}

const std::string& PngPath(Session& s)
{
    return s.png;
}
const std::string& DocumentPath(Session& s)
{
    return s.document;
}

void BM_OpenPngIntoShownView(benchmark::State& state)
{
    TimeOpen(state, &PngPath);
}

void BM_OpenPng_PeerCodecBareRead(benchmark::State& state)
{
    Session& s = TheSession();
    CQvImage check;
    if (s.program->Codec().Read(s.png.c_str(), &check, nullptr, 0, -1, -1) != 1 || !SamePixels(check, s.openImage)) {
        state.SkipWithError("the codec did not read the PNG");
        return;
    }
    for (auto _ : state) {
        CQvImage image;
        s.program->Codec().Read(s.png.c_str(), &image, nullptr, 0, -1, -1);
        benchmark::DoNotOptimize(image.GetBuffer());
    }
}

void BM_OpenDocumentFileIntoShownView(benchmark::State& state)
{
    TimeOpen(state, &DocumentPath);
}

int BareNativeRead(const std::string& path, CQvImage& image)
{
    CQvGObjectContainer overlay;
    NativeFileRecord record;
    record.image = &image;
    record.overlay = &overlay;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    const int read = ReadNativeFile(file, record);
    std::fclose(file);
    return read;
}

void BM_OpenDocumentFile_PeerBareFileRead(benchmark::State& state)
{
    Session& s = TheSession();
    CQvImage check;
    if (BareNativeRead(s.document, check) != 1 || !SamePixels(check, s.openImage)) {
        state.SkipWithError("the document file did not read");
        return;
    }
    for (auto _ : state) {
        CQvImage image;
        BareNativeRead(s.document, image);
        benchmark::DoNotOptimize(image.GetBuffer());
    }
}

// ---- repaint with and without overlay

struct PaintPair
{
    CVistrelDoc* withOverlay = nullptr;
    CVistrelDoc* plain = nullptr;
    bool ok = false;
};

// Draws lines, circles and rectangles over the image as the mouse does, 1,000 in all, each with its value label.
void DrawObjects(CVistrelDoc* doc)
{
    CQvGObjectContainer& overlay = doc->GetGObjectContainer();
    SilentCanvas canvas;
    overlay.SetCanvasWnd(&canvas);
    overlay.SetRatio(1.0f);
    overlay.SetRelative(CPoint(0, 0));
    overlay.SetAutoRepeatCreatingObject(0);
    const OBJ_SHAPE shapes[] = {SHAPE_LINE, SHAPE_CIRCLE, SHAPE_RECT};
    for (int i = 0; i < kObjects; ++i) {
        const int column = i % 40;
        const int row = i / 40;
        const CPoint a(20 + column * 63, 20 + row * 76);
        const CPoint b(a.x + 40 + (i % 7) * 2, a.y + 40 + (i % 5) * 3);
        overlay.AddObject(shapes[i % 3]);
        std::unique_ptr<CDC> dc = canvas.GetSurfaceDC();
        for (CPoint p : {a, b}) {
            overlay.MouseMove(dc.get(), 0, p);
            overlay.LButtonDown(MK_LBUTTON, p);
            overlay.LButtonUp(0, p);
        }
    }
    overlay.SetCanvasWnd(nullptr);
}

CVistrelDoc* FittedDocument(Session& s, const CQvImage& image, const char* title)
{
    CVistrelDoc* doc = s.program->App().NewDocument(title);
    if (!doc)
        return nullptr;
    doc->SetImage("", &image);
    QApplication::processEvents();
    CVistrelView* view = doc->GetImageView();
    if (!view || !doc->GetChildFrame())
        return nullptr;
    QApplication::processEvents();
    if (!view->IsZoomFit())
        view->ToggleZoomFit();
    return doc;
}

void Repaint(CImageDispWnd* wnd)
{
    wnd->Invalidate();
    wnd->viewport()->repaint();
}

PaintPair& Pair()
{
    static PaintPair pair = [] {
        PaintPair p;
        Session& s = TheSession();
        if (!s.frame)
            return p;
        const CQvImage image = Pattern(kPaintWidth, kPaintHeight);
        p.plain = FittedDocument(s, image, "plain");
        p.withOverlay = FittedDocument(s, image, "overlay");
        if (!p.plain || !p.withOverlay)
            return p;
        // Both frames the same size once both exist (the second one's placement may have moved the first).
        for (CVistrelDoc* doc : {p.plain, p.withOverlay}) {
            doc->GetChildFrame()->showNormal();
            doc->GetChildFrame()->resize(1280, 800);
        }
        QApplication::processEvents();
        DrawObjects(p.withOverlay);
        CImageDispWnd* a = p.withOverlay->GetImageView()->GetDispWnd();
        CImageDispWnd* b = p.plain->GetImageView()->GetDispWnd();
        a->SyncContainers();
        Repaint(a);
        Repaint(b);
        const QImage withObjects = a->GetSurface();
        const QImage without = b->GetSurface();
        const size_t objects = p.withOverlay->GetGObjectContainer().GetMainObjList().size();
        const CRect drawn = DrawnRect(b);
        int differing = 0;
        int wrongImage = 0;
        for (int y = 0; y < without.height(); ++y)
            for (int x = 0; x < without.width(); ++x) {
                differing += withObjects.pixel(x, y) != without.pixel(x, y);
                if (!drawn.PtInRect(CPoint(x, y)))
                    continue;
                const CPoint q = b->GetRealPoint(CPoint(x, y), 1);
                if (const BYTE* bgr = image.GetPixel(q.x, q.y))
                    wrongImage += (without.pixel(x, y) & 0xFFFFFF) != (qRgb(bgr[2], bgr[1], bgr[0]) & 0xFFFFFF);
            }
        std::printf("repaint: %zu objects, windows %dx%d and %dx%d at ratios %.4f / %.4f, %d pixels show objects, "
                    "%d image pixels wrong without overlay\n",
                    objects, withObjects.width(), withObjects.height(), without.width(), without.height(),
                    a->GetRatio(), b->GetRatio(), differing, wrongImage);
        p.ok = objects == static_cast<size_t>(kObjects) && withObjects.size() == without.size() &&
               a->GetRatio() == b->GetRatio() && a->GetRatio() < 1.0f && differing > 10000 && wrongImage == 0;
        return p;
    }();
    return pair;
}

void TimeRepaint(benchmark::State& state, bool overlay)
{
    PaintPair& p = Pair();
    if (!p.ok) {
        state.SkipWithError("the windows did not show the image and its objects");
        return;
    }
    CVistrelDoc* doc = overlay ? p.withOverlay : p.plain;
    CImageDispWnd* wnd = doc->GetImageView()->GetDispWnd();
    for (auto _ : state)
        Repaint(wnd);
}

void BM_RepaintFittedWithOverlay(benchmark::State& state)
{
    TimeRepaint(state, true);
}

void BM_RepaintFitted_PeerWithoutOverlay(benchmark::State& state)
{
    TimeRepaint(state, false);
}

}  // namespace

BENCHMARK(BM_OpenPngIntoShownView)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_OpenPng_PeerCodecBareRead)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_OpenDocumentFileIntoShownView)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_OpenDocumentFile_PeerBareFileRead)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_RepaintFittedWithOverlay)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_RepaintFitted_PeerWithoutOverlay)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The program's objects go before the QApplication, as in main().
    if (g_session && g_session->program) {
        g_session->program->App().ExitInstance();
        g_session->program.reset();
    }
    g_session.reset();
    return 0;
}
