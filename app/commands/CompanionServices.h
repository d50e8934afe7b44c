// What the application commands need of the world outside the program: starting companion programs, loading
// companion modules, the message bus on which companion programs appear, and how long to wait for them. Each is a
// replaceable function, so the commands run in tests against stand-ins; the program uses the defaults. UI thread.
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class PeerBus;

// A module loaded for a command: its exported functions by name. The module is freed with the object.
class ILoadedModule
{
public:
    virtual ~ILoadedModule() = default;
    // The address of an export, or null.
    virtual void* Symbol(const char* name) = 0;
};

struct CompanionServices
{
    // Starts `program` with `arguments` in `workingFolder`, not waiting for it; false when it cannot start.
    std::function<bool(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingFolder)>
        startProcess;
    // Loads the module at `path`; null when it cannot be loaded.
    std::function<std::unique_ptr<ILoadedModule>(const std::string& path)> loadModule;
    // The program's own bus (its main window for companion programs); null when the program has none.
    std::function<PeerBus*()> bus;
    // A companion program that was started is looked for this many times, this far apart, before the command
    // gives up on it: never without bound, so a program that does not come up cannot hang the program.
    int peerPolls = 50;
    int peerPollIntervalMs = 100;

    // The program's defaults: QProcess, dlopen through CModule, the companion mailbox's bus.
    static CompanionServices Defaults();
};

// Looks for `identity` on `bus` up to `polls` times, `intervalMs` apart, serving the program's events (but not
// user input) in between. True as soon as it is there.
bool WaitForPeer(PeerBus& bus, const QString& identity, int polls, int intervalMs);
