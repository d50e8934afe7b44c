// What companion programs' messages do to the program: the documents, the codec, the calibration list, and the
// main window and acquisition actions. ProgramCompanionHost is the program's; tests put their own window actions
// around real documents and calibrations. UI thread.
#pragma once

#include "types/WinTypes.h"

#include <string>

class CCalibrationList;
class CQvImageCodec;
class DocumentRegistry;
class ProgramServices;
class QWidget;

class ICompanionHost
{
public:
    virtual ~ICompanionHost() = default;
    // Null where the program has none (nothing is then opened).
    virtual DocumentRegistry* Documents() = 0;
    virtual CQvImageCodec* Codec() = 0;
    virtual CCalibrationList& Calibrations() = 0;
    // The program folder, ending in '/'.
    virtual std::string ProgramFolder() = 0;
    // The calibration boxes show the current calibration again.
    virtual void RefillCalibrationBoxes() = 0;
    // Brings the main window forward (un-minimised).
    virtual void RaiseMainWindow() = 0;
    // Applies a ShowWindow command (SW_HIDE .. SW_FORCEMINIMIZE) to the main window.
    virtual void ShowMainWindow(int showCommand) = 0;
    // Closes the program as the user's close would: unsaved documents are asked about first, and the user may keep
    // the program running. Returns at once; the close runs from the event loop.
    virtual void RequestQuit() = 0;
    // Hands the capture drivers to the acquisition host again and raises the main window; with
    // `onlyWhenNoneSelected` only when the host has no driver selected.
    virtual void ReinstallDrivers(bool onlyWhenNoneSelected) = 0;
    // Runs a command through the command routing, as a menu choice would.
    virtual void ExecuteCommand(UINT id) = 0;
};

// ShowWindow's commands on a top-level widget: hide, show (normal, minimised, maximised, restored), minimise.
// Unknown commands show the window as it is.
void ApplyShowCommand(QWidget& window, int showCommand);

// The program's host: the documents, codec and calibrations of the program objects, its application and main
// window. The program objects outlive it.
class ProgramCompanionHost : public ICompanionHost
{
public:
    explicit ProgramCompanionHost(ProgramServices& program);

    DocumentRegistry* Documents() override;
    CQvImageCodec* Codec() override;
    CCalibrationList& Calibrations() override;
    std::string ProgramFolder() override;
    void RefillCalibrationBoxes() override;
    void RaiseMainWindow() override;
    void ShowMainWindow(int showCommand) override;
    void RequestQuit() override;
    void ReinstallDrivers(bool onlyWhenNoneSelected) override;
    void ExecuteCommand(UINT id) override;

private:
    QWidget* MainWidget();

    ProgramServices& m_program;
};
