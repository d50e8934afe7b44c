// The program as a user starts it from the program folder as built (VISTREL_PROGRAM_FOLDER), its user's root the
// session's, its main window shown at a size the tests' pictures fit; and its end as the user quits it, the live
// view stopped first.
#pragma once

#include "core/tests/ProgramSessionFolders.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "program/ProgramObjects.h"
#include "testing/MessageBoxRecorder.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QListWidget>
#include <QStringList>

#include <memory>
#include <string>

#ifdef VISTREL_PROGRAM_FOLDER

// The started program, or null when it did not start; `frame` its main window.
inline std::unique_ptr<ProgramObjects> StartBuiltProgram(const ProgramSessionFolders& session, CMainFrame*& frame)
{
    auto program = std::make_unique<ProgramObjects>(
        QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), session.root.path()},
        std::string(VISTREL_PROGRAM_FOLDER) + "/Vistrel");
    if (!program->App().InitInstance())
        return nullptr;
    frame = qobject_cast<CMainFrame*>(program->App().GetMainWnd()->Widget());
    if (!frame)
        return nullptr;
    frame->resize(1000, 760);
    frame->show();
    return program;
}

// Select Device, the user choosing `name` in the chooser: what the chooser offered (empty when the command did
// not run).
inline QStringList SelectDevice(CMainFrame& frame, const QString& name)
{
    QStringList offered;
    testing_support::MessageBoxes().QueueModal([&](QDialog& chooser) {
        auto* list = chooser.findChild<QListWidget*>("serverList");
        if (!list)
            return;
        for (int row = 0; row < list->count(); ++row)
            offered << list->item(row)->text();
        list->setCurrentRow(int(offered.indexOf(name)));
        chooser.accept();
    });
    if (!frame.Router().Execute(cmd::ID_ACQ_SELECT_DEVICE))
        return {};
    return offered;
}

inline void StopBuiltProgram(std::unique_ptr<ProgramObjects>& program)
{
    if (program) {
        program->AcquireHost().StopOverlay();
        program->App().ExitInstance();
        program.reset();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

#endif
