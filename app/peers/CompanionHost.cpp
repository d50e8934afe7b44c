#include "peers/CompanionHost.h"

#include "core/ProgramServices.h"
#include "core/CCalibrationList.h"
#include "core/CVistrelApp.h"
#include "document/DocumentRegistry.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// ShowWindow's commands.
enum ShowCommand
{
    kHide = 0,
    kShowNormal = 1,
    kShowMinimized = 2,
    kShowMaximized = 3,
    kShowNoActivate = 4,
    kShow = 5,
    kMinimize = 6,
    kShowMinNoActive = 7,
    kShowNa = 8,
    kRestore = 9,
    kShowDefault = 10,
    kForceMinimize = 11,
};

}  // namespace

void ApplyShowCommand(QWidget& window, int showCommand)
{
    switch (showCommand) {
    case kHide:
        window.hide();
        return;
    case kShowMinimized:
    case kMinimize:
    case kShowMinNoActive:
    case kForceMinimize:
        window.showMinimized();
        return;
    case kShowMaximized:
        window.showMaximized();
        window.raise();
        window.activateWindow();
        return;
    case kShowNormal:
    case kRestore:
    case kShowDefault:
        window.showNormal();
        window.raise();
        window.activateWindow();
        return;
    case kShowNoActivate:
    case kShowNa:
        window.show();
        return;
    case kShow:
    default:
        window.show();
        window.raise();
        window.activateWindow();
        return;
    }
}

ProgramCompanionHost::ProgramCompanionHost(ProgramServices& program) : m_program(program) {}

DocumentRegistry* ProgramCompanionHost::Documents() { return &m_program.Documents(); }

CQvImageCodec* ProgramCompanionHost::Codec() { return &m_program.Codec(); }

CCalibrationList& ProgramCompanionHost::Calibrations() { return m_program.Calibrations(); }

std::string ProgramCompanionHost::ProgramFolder() { return m_program.App().ProgramFolder(); }

QWidget* ProgramCompanionHost::MainWidget()
{
    IMainWindow* window = m_program.App().GetMainWnd();
    return window ? window->Widget() : nullptr;
}

void ProgramCompanionHost::RefillCalibrationBoxes()
{
    if (IMainWindow* window = m_program.App().GetMainWnd())
        window->RefillCalibrationBoxes();
}

void ProgramCompanionHost::RaiseMainWindow()
{
    if (IMainWindow* window = m_program.App().GetMainWnd())
        window->RestoreAndRaise();
}

void ProgramCompanionHost::ShowMainWindow(int showCommand)
{
    if (QWidget* window = MainWidget())
        ApplyShowCommand(*window, showCommand);
}

void ProgramCompanionHost::RequestQuit()
{
    QWidget* window = MainWidget();
    if (!window)
        return;
    // Not inside the message: a save prompt would keep the companion waiting on its answer. The close asks the
    // documents as the close box does; the window saves its layout and tells the tiling tool; shut-down then
    // stops the live display and releases the drivers.
    QTimer::singleShot(0, window, [window = QPointer<QWidget>(window)] {
        if (window && window->close())
            QCoreApplication::quit();
    });
}

void ProgramCompanionHost::ReinstallDrivers(bool /*onlyWhenNoneSelected*/)
{
    // The acquisition host does not tell yet whether a driver is selected; installing again is what it does
    // when none is.
    m_program.App().InstallAcquisitionServers();
    RaiseMainWindow();
}

void ProgramCompanionHost::ExecuteCommand(UINT id)
{
    if (IMainWindow* window = m_program.App().GetMainWnd())
        window->ExecuteCommand(id);
}
