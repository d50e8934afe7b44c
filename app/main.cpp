#include "program/ProgramObjects.h"
#include "core/QuitOnTerminate.h"

#include <QApplication>
#include <QWidget>

#include <clocale>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // QApplication took the user's locale; numbers are written and read in the C locale everywhere.
    std::setlocale(LC_NUMERIC, "C");

    int exitCode = 0;
    {
        ProgramObjects program(QCoreApplication::arguments(), QCoreApplication::applicationFilePath().toStdString());
        CVistrelApp& app = program.App();
        // The session ending closes the window as the user would (its layout is kept), then the program ends.
        // A window that refuses to close (a document the user chose to keep) keeps the program running.
        const QuitOnTerminate quitOnTerminate([&app] {
            IMainWindow* window = app.GetMainWnd();
            if (!window || !window->Widget() || window->Widget()->close())
                QCoreApplication::quit();
        });
        const BOOL started = app.InitInstance();
        exitCode = started ? QApplication::exec() : 0;
        // Shut-down runs after a start that failed too: it releases what the start took.
        exitCode = app.ExitInstance();
    }
    return exitCode;
}
