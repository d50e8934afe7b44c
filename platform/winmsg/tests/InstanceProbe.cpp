// Claims an identity as a separate start of a program would, and says what came of it on stdout:
//   InstanceProbe <identity> <requests to wait for> <ms to stay> [paths to hand over...]
// An owner prints "owner", then "paths:<p1>|<p2>" for each later start, and ends after the requests it was told to
// wait for or the time given; any other start prints its outcome and ends at once.
#include "winmsg/SingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

void Say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    SingleInstance instance(args[1]);
    const int expected = args[2].toInt();
    const SingleInstance::Outcome outcome = instance.Claim(args.mid(4), 5000);
    switch (outcome) {
    case SingleInstance::Outcome::Owner:
        break;
    case SingleInstance::Outcome::AnotherInstanceAnswered:
        Say("answered");
        return 0;
    case SingleInstance::Outcome::AnotherInstanceSilent:
        Say("silent");
        return 1;
    case SingleInstance::Outcome::Failed:
        Say("failed");
        return 1;
    }
    Say("owner");
    int received = 0;
    QObject::connect(&instance, &SingleInstance::anotherInstanceStarted, [&](const QStringList& paths) {
        Say("paths:" + paths.join('|'));
        if (++received >= expected)
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    QTimer::singleShot(args[3].toInt(), &app, &QCoreApplication::quit);
    return app.exec();
}
