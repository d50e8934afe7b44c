#include "core/ProgramObjects.h"
#include "core/QuitOnTerminate.h"

#include <QApplication>

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
        const QuitOnTerminate quitOnTerminate([] { QCoreApplication::quit(); });
        const BOOL started = app.InitInstance();
        exitCode = started ? QApplication::exec() : 0;
        // Shut-down runs after a start that failed too: it releases what the start took.
        exitCode = app.ExitInstance();
    }
    return exitCode;
}
