#include "commands/CompanionServices.h"

#include "core/ProgramServices.h"
#include "peers/CompanionMailbox.h"

#include "module/CModule.h"

#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

namespace {

class DynamicModule : public ILoadedModule
{
public:
    explicit DynamicModule(CModule module) : m_module(std::move(module)) {}
    void* Symbol(const char* name) override { return m_module.GetProcAddress(name); }

private:
    CModule m_module;
};

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingFolder)
{
    QStringList args;
    for (const std::string& argument : arguments)
        args << QString::fromStdString(argument);
    return QProcess::startDetached(QString::fromStdString(program), args, QString::fromStdString(workingFolder));
}

std::unique_ptr<ILoadedModule> LoadModule(const std::string& path)
{
    CModule module;
    if (!module.Load(path))
        return nullptr;
    return std::make_unique<DynamicModule>(std::move(module));
}

PeerBus* ProgramBus()
{
    // The mailbox's bus: the one companions answer on, also when the instance gate had none to lend.
    ProgramServices* program = TheProgram();
    CompanionMailbox* mailbox = program ? program->Companions() : nullptr;
    return mailbox ? mailbox->Bus() : nullptr;
}

}  // namespace

CompanionServices CompanionServices::Defaults()
{
    CompanionServices services;
    services.startProcess = &StartDetached;
    services.loadModule = &LoadModule;
    services.bus = &ProgramBus;
    return services;
}

bool WaitForPeer(PeerBus& bus, const QString& identity, int polls, int intervalMs)
{
    for (int poll = 0; poll < polls; ++poll) {
        if (bus.FindWindow(identity))
            return true;
        // The program keeps painting and serving companion messages meanwhile; the user waits.
        QEventLoop pause;
        QTimer::singleShot(intervalMs, &pause, &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return bus.FindWindow(identity);
}
