// The automatic measurement tools through the program's own entry points: the program starts on a fresh folder,
// a synthetic picture (grey, 24-bit and 32-bit) becomes a document, the toolbar command picks a tool, the mouse
// draws it roughly and it snaps to the picture's edge; its values are the report dock's row; where there is no
// edge nothing is left and the user draws again; the document saved as a document file and opened again keeps the
// object and its values.
#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "report/CMeasureReportCtrl.h"
#include "report/CReportManager.h"
#include "report/CReportPage.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectCatalogue.h"
#include "qvimage/CQvImage.h"
#include "testing/MessageBoxRecorder.h"

#include <QApplication>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace cmd;
using testing_support::MessageBoxes;

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

using Inside = std::function<bool(double, double)>;

// Dark where inside(x, y) is false, bright where true; each pixel's grey is its share on the bright side (4 x 4
// samples). Colour pixels carry the grey in every channel.
CQvImage Picture(int type, const Inside& inside)
{
    CQvImage image;
    image.Create(type, kWidth, kHeight, 0);
    const int bytes = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            int covered = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    covered += inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0) ? 1 : 0;
            BYTE* p = image.GetPixel(x, y);
            for (int b = 0; b < bytes; ++b)
                p[b] = static_cast<BYTE>(b == 3 ? 255 : 40 + 170 * covered / 16);
        }
    return image;
}

// The half-plane on the left of the directed line through (x0, y0) at `degrees` (counter-clockwise on screen).
Inside HalfPlane(double x0, double y0, double degrees)
{
    const double c = std::cos(degrees * M_PI / 180.0);
    const double s = -std::sin(degrees * M_PI / 180.0);
    return [=](double x, double y) { return (x - x0) * s - (y - y0) * c > 0; };
}

double DistanceFromLine(const _RPOINT& p, double x0, double y0, double degrees)
{
    const double c = std::cos(degrees * M_PI / 180.0);
    const double s = -std::sin(degrees * M_PI / 180.0);
    return std::abs((p.x - x0) * s - (p.y - y0) * c);
}

constexpr double kCx = 100.2, kCy = 74.6, kRadius = 50.0;

// A point 3 pixels outside the disc's rim at `degrees`.
CPoint Rim(double degrees)
{
    return CPoint(static_cast<int>(std::lround(kCx + (kRadius + 3) * std::cos(degrees * M_PI / 180))),
                  static_cast<int>(std::lround(kCy - (kRadius + 3) * std::sin(degrees * M_PI / 180))));
}

double Value(CQvGObject* object, int32_t kind)
{
    tagCAL_DATA data;
    data.kind = kind;
    return object->GetCalData(data, 0) == 1 ? data.value1 : NAN;
}

struct ToolCase
{
    const char* name;
    UINT command;
    OBJ_SHAPE shape;
    Inside picture;
    std::vector<CPoint> clicks;     // snap onto the edge
    std::vector<CPoint> noEdge;     // drawn where the picture holds no edge
    int32_t quantity;               // a value the report shows
    std::function<void(CQvGObject*)> check;
};

std::vector<ToolCase> Cases()
{
    auto line = [](double degrees) {
        return [=](CQvGObject* object) {
            const _RPOINT* p = object->GetPoint();
            EXPECT_LT(DistanceFromLine(p[0], 100.3, 75.3, degrees), 1.0);
            EXPECT_LT(DistanceFromLine(p[1], 100.3, 75.3, degrees), 1.0);
        };
    };
    const std::vector<CPoint> blankLine = {{8, 10}, {12, 60}};
    const Inside wedge = [](double x, double y) {
        return y < 100.4 && (x - 30.2) * std::sin(M_PI / 6) - (100.4 - y) * std::cos(M_PI / 6) > 0;
    };
    // Bright inside the disc on the 240 degrees from 10 to 250 only.
    const Inside arc = [](double x, double y) {
        const double a = std::fmod(std::atan2(kCy - y, x - kCx) * 180 / M_PI + 360.0, 360.0);
        return std::hypot(x - kCx, y - kCy) < kRadius && a > 5 && a < 255;
    };
    return {
        {"line at 90 degrees", ID_AUTO_EDGE_LINE, SHAPE_AUTO_LINE, HalfPlane(100.3, 75.3, 90), {{96, 20}, {105, 130}},
         blankLine, CAL_LENGTH, line(90)},
        {"line at 0 degrees", ID_AUTO_EDGE_LINE, SHAPE_AUTO_LINE, HalfPlane(100.3, 75.3, 0), {{20, 81}, {180, 70}},
         {{10, 140}, {60, 142}}, CAL_LENGTH, line(0)},
        {"line at 30 degrees", ID_AUTO_EDGE_LINE, SHAPE_AUTO_LINE, HalfPlane(100.3, 75.3, 30), {{45, 103}, {150, 47}},
         {{150, 135}, {190, 110}}, CAL_LENGTH, line(30)},
        {"circle", ID_AUTO_EDGE_CIRCLE, SHAPE_AUTO_CIRCLE,
         [](double x, double y) { return std::hypot(x - kCx, y - kCy) < kRadius; }, {{42, 70}, {158, 82}},
         {{2, 2}, {22, 22}}, CAL_DIAMETER,
         [](CQvGObject* object) {
             const _RPOINT* p = object->GetPoint();
             EXPECT_NEAR((p[0].x + p[1].x) / 2, kCx, 0.5);
             EXPECT_NEAR((p[0].y + p[1].y) / 2, kCy, 0.5);
             EXPECT_NEAR(std::abs(p[1].y - p[0].y) / 2, kRadius, 0.5);
         }},
        {"240-degree arc", ID_AUTO_EDGE_ARC, SHAPE_AUTO_ARC, arc, {Rim(10), Rim(250), Rim(220)},
         {{5, 5}, {40, 5}, {22, 20}}, CAL_ANGLE,
         [](CQvGObject* object) { EXPECT_NEAR(Value(object, CAL_ANGLE), 240.0, 8.0); }},
        {"wedge", ID_ANGLE_DETECTION, SHAPE_AUTO_ANGLE, wedge, {{70, 97}, {180, 104}, {170, 23}, {80, 72}},
         {{10, 130}, {60, 140}}, CAL_ANGLE,
         [](CQvGObject* object) { EXPECT_NEAR(Value(object, CAL_ANGLE), 30.0, 0.3); }},
    };
}

class AutoEdgeFlowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.Enter());
        MessageBoxes().Reset();
        program = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), session.root.path()}, "/opt/x/Vistrel");
        ASSERT_TRUE(program->App().InitInstance());
        frame = qobject_cast<CMainFrame*>(program->App().GetMainWnd()->Widget());
        ASSERT_NE(frame, nullptr);
        frame->resize(1200, 900);
        QApplication::processEvents();
    }
    void TearDown() override
    {
        if (program) {
            EXPECT_EQ(program->App().ExitInstance(), 0);
        }
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        session.Leave();
    }

    CVistrelDoc* Open(const CQvImage& image)
    {
        CVistrelDoc* doc = program->Documents().NewDocument("edges");
        doc->SetImage("", &image);
        QApplication::processEvents();
        return doc;
    }

    // Clicks at image points, as the mouse does at the window's zoom and scroll.
    static void Draw(CVistrelDoc* doc, const std::vector<CPoint>& points)
    {
        CImageDispWnd* wnd = doc->GetImageView()->GetDispWnd();
        for (const CPoint& p : points) {
            const CPoint client = wnd->GetZoomedPoint(p);
            QTest::mouseMove(wnd->viewport(), QPoint(client.x, client.y));
            QTest::mouseClick(wnd->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(client.x, client.y));
        }
    }

    static std::vector<CQvGObject*> Finished(CVistrelDoc* doc)
    {
        std::vector<CQvGObject*> finished;
        for (CQvGObject* object : doc->GetGObjectContainer().GetMainObjList())
            if (object->GetState() == GS_FINISHED)
                finished.push_back(object);
        return finished;
    }

    // The report dock's text for the object's quantity.
    std::string ReportCell(CVistrelDoc* doc, CQvGObject* object, int32_t quantity)
    {
        CReportManager* manager = program->App().GetReportPages();
        CReportPage* page = manager ? manager->FindPage(doc->GetImageView()) : nullptr;
        auto* list = page ? dynamic_cast<CMeasureReportCtrl*>(page->List(0)) : nullptr;
        if (!list)
            return "(no report list)";
        const int row = list->FindObjectRow(object);
        int n = 0;
        while (n < GetMeasurementCount() && GetMeasurementType(n) != quantity)
            ++n;
        const QString title = QString::fromUtf8(GetMeasurementName(n));
        for (int c = 0; c < list->columnCount(); ++c)
            if (list->horizontalHeaderItem(c) && list->horizontalHeaderItem(c)->text() == title)
                return row < 0 ? "(no row)" : list->GetItemText(row, c);
        return "(no column)";
    }

    ProgramSessionFolders session;
    QTemporaryDir files;
    std::unique_ptr<ProgramObjects> program;
    CMainFrame* frame = nullptr;
};

}  // namespace

TEST_F(AutoEdgeFlowTest, RoughlyDrawnToolsSnapReportAndSurviveTheDocumentFile)
{
    int saved = 0;
    for (int type : {QV_GRAY8, QV_RGB24, QV_RGBA32})
        for (const ToolCase& c : Cases()) {
            SCOPED_TRACE(std::string(c.name) + " on type " + std::to_string(type));
            CVistrelDoc* doc = Open(Picture(type, c.picture));
            ASSERT_NE(doc, nullptr);
            ASSERT_TRUE(frame->Router().Query(c.command).enabled);

            // No edge under the rough drawing: nothing is left, and the tool may be drawn again.
            ASSERT_TRUE(frame->Router().Execute(c.command));
            EXPECT_TRUE(frame->Router().Query(c.command).checked);
            Draw(doc, c.noEdge);
            EXPECT_TRUE(Finished(doc).empty());
            const CQvGObject* waiting = doc->GetGObjectContainer().GetCreatingObject();
            if (!waiting)
                ASSERT_TRUE(frame->Router().Execute(c.command));
            else
                EXPECT_EQ(waiting->GetObjShape(), c.shape) << "the tool waits for the next try";

            Draw(doc, c.clicks);
            QApplication::processEvents();
            const std::vector<CQvGObject*> finished = Finished(doc);
            ASSERT_EQ(finished.size(), 1u);
            CQvGObject* object = finished.front();
            doc->GetGObjectContainer().CancelObject();
            ASSERT_EQ(object->GetObjShape(), c.shape);
            c.check(object);
            tagCAL_DATA data;
            data.kind = c.quantity;
            const std::string shown = object->GetDataString(data, 0);
            EXPECT_FALSE(shown.empty());
            EXPECT_EQ(ReportCell(doc, object, c.quantity), shown);

            // Saved as a document file and opened again: the same object with the same values.
            const std::string qrx =
                files.filePath(QStringLiteral("edges-%1.qrx").arg(saved++)).toStdString();
            MessageBoxes().QueueFile(qrx);
            ASSERT_TRUE(frame->Router().Execute(ID_FILE_SAVE_AS));
            ASSERT_TRUE(std::filesystem::exists(qrx));
            ASSERT_TRUE(frame->Router().Execute(ID_FILE_CLOSE));
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            CVistrelDoc* again = program->App().OpenDocumentFile(qrx);
            ASSERT_NE(again, nullptr);
            QApplication::processEvents();
            const std::vector<CQvGObject*> reopened = Finished(again);
            ASSERT_EQ(reopened.size(), 1u);
            EXPECT_EQ(reopened.front()->GetObjShape(), c.shape);
            EXPECT_EQ(reopened.front()->GetDataString(data, 0), shown);
            EXPECT_EQ(ReportCell(again, reopened.front(), c.quantity), shown);
            ASSERT_TRUE(frame->Router().Execute(ID_FILE_CLOSE));
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(MessageBoxes().Boxes().empty());
        }
}

// The live view takes no automatic tool: the command says why and starts nothing.
TEST_F(AutoEdgeFlowTest, TheToolbarRefusesAnAutomaticToolOnTheLiveView)
{
    CVistrelDoc* doc = Open(Picture(QV_GRAY8, HalfPlane(100.3, 75.3, 90)));
    ASSERT_NE(doc, nullptr);
    doc->GetImageView()->SetLive(true);
    ASSERT_TRUE(frame->Router().Execute(ID_AUTO_EDGE_CIRCLE));
    EXPECT_EQ(doc->GetGObjectContainer().GetCreatingObject(), nullptr);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    doc->GetImageView()->SetLive(false);
    MessageBoxes().Reset();
}
