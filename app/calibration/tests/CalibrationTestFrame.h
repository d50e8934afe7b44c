// A main frame with the calibration commands plugged in and a document on a plain image in a child frame at zoom 1.
#pragma once

#include "calibration/CalibrationCommands.h"
#include "core/CCalibrationList.h"
#include "core/tests/CoreTestFolder.h"
#include "document/CVistrelDoc.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "frame/tests/ChildFrameDocument.h"
#include "view/CVistrelView.h"

#include "profile/CAppProfile.h"
#include "types/WinUser.h"
#include "qvimage/CQvImage.h"

#include <QApplication>
#include <QDialog>

#include <memory>

class CalibrationTestFrame : public CoreTestFolder
{
protected:
    void SetUp() override
    {
        CoreTestFolder::SetUp();
        MainFrameOptions options;
        options.profile = &profile;
        options.programFolder = Path("program");
        frame = std::make_unique<CMainFrame>(options);
        frame->resize(1000, 800);
        frame->show();
        QApplication::processEvents();
        commands = &InstallCalibrationCommands(*frame, list, Path("calibration") + "/");
        document = OpenBlankInChildFrame(*frame, 200, 120);
        view = document->GetImageView();
    }

    void TearDown() override
    {
        frame.reset();
        document.reset();
        CoreTestFolder::TearDown();
    }

    // Two clicks in the display window (window pixels; zoom 1 keeps them image pixels).
    void DrawLine(CPoint from, CPoint to)
    {
        CImageDispWnd* window = view->GetDispWnd();
        window->OnLButtonDown(MK_LBUTTON, from);
        window->OnLButtonUp(0, from);
        window->OnMouseMove(0, to);
        window->OnLButtonDown(MK_LBUTTON, to);
        window->OnLButtonUp(0, to);
    }

    template <class W>
    static W* Control(QWidget& dialog, int id)
    {
        W* widget = dialog.findChild<W*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }

    CAppProfile profile{"QRX", "Vistrel"};
    CCalibrationList list;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CVistrelDoc> document;
    CVistrelView* view = nullptr;
    CalibrationCommands* commands = nullptr;
};
