// A plug-in for the tests: entry 0 runs once and inverts the top-left pixel (with an undo point first); entry 1 is
// resident, makes a report control and writes every left-button press it receives into it as "x,y".
#include "framepool/CQvFramePool.h"
#include "qvimage/CQvImage.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/CReportListCtrl.h"
#include "qvplglib/PlugInContract.h"

#include <QTableWidgetItem>

#include <string>

namespace {

class CInvertPixelView : public CPlgView
{
public:
    int Run() override
    {
        CQvImage& image = GetFramePool()->GetImage();
        if (image.GetWidth() == 0 || image.GetHeight() == 0)
            return 0;
        GetFramePool()->PushImage(CRect(-1, -1, -1, -1));
        BYTE* pixel = image.Get2DBuffer()[0];
        for (int byte = 0; byte < image.GetBitsPerPixel() / 8; ++byte)
            pixel[byte] = static_cast<BYTE>(255 - pixel[byte]);
        RedrawWindow();
        return 1;
    }
};

class CInputRecorderView : public CPlgView
{
public:
    int Run() override
    {
        const CQvImage& image = GetFramePool()->GetImage();
        return image.GetWidth() == 0 || image.GetHeight() == 0 ? 0 : 1;
    }

    CReportListCtrl* CreateReportControl(QWidget* parent) override
    {
        auto* report = new CReportListCtrl(parent);
        report->SetWindowText("Input");
        report->setColumnCount(1);
        m_reportControl = report;
        return report;
    }

    void OnLButtonDown(UINT /*flags*/, CPoint point) override
    {
        if (!m_reportControl)
            return;
        const int row = m_reportControl->rowCount();
        m_reportControl->insertRow(row);
        m_reportControl->setItem(
            row, 0, new QTableWidgetItem(QString::fromStdString(std::to_string(point.x) + "," +
                                                                std::to_string(point.y))));
    }
};

class CTestPlgApp : public CPlgApplication
{
public:
    int CreatePlgView(int index, int /*reserved*/, CPlgView** out) override
    {
        switch (index) {
        case 0:
            *out = new CInvertPixelView;
            return 1;
        case 1:
            *out = new CInputRecorderView;
            return 1;
        default:
            return 0;
        }
    }
};

CTestPlgApp theApp;
int g_connects = 0;

}  // namespace

VISTREL_PLUGIN_CONTRACT()

PLG_EXPORT CPlgApplication* PlgConnect()
{
    ++g_connects;
    theApp.AddPlgInfo(TEST_PLUGIN_GROUP, "Invert Pixel", 1, 0, 0);
    theApp.AddPlgInfo(TEST_PLUGIN_GROUP, "Record Input", 0, 1, 0);
    return &theApp;
}

// For the tests: how often PlgConnect ran, and how many entries the application holds now.
PLG_EXPORT int TestPlgConnectCount()
{
    return g_connects;
}

PLG_EXPORT int TestPlgRegisteredCount()
{
    return static_cast<int>(theApp.GetPlgInfoList().size());
}
