// Remembers across runs a module whose loading took the program down, so that one broken plug-in or driver cannot
// stop every later start. Before a module is loaded (its static constructors run) and its first calls are made, a
// marker naming it, the identity of its file and the step it is at is written to the marker folder; it is removed
// once the module is through. A crash leaves the marker behind, and the next start finds it and skips the module:
// the user is told once, which module and at which step, and chooses to try it again at the next start or to keep
// it off. A module kept off comes back by itself when its file changes (an update may mend it).
//
// Markers are small files "<kind>-<module file name>" in the marker folder, written without waiting for the disk: a
// crash of the program keeps them, only a crash of the machine may lose one. The loader holds a lock on its marker
// until it is through, so another process of the user's that starts meanwhile (the program, a companion that loads
// the same modules) sees a load in progress, not a crash, and leaves the marker alone. Not thread-safe: one thread
// loads the modules of one guard.
#pragma once

#include "types/VistrelExport.h"

#include <functional>
#include <set>
#include <string>

// The per-user folder of the markers: $XDG_STATE_HOME/QRX/module-loading/ (else ~/.local/state/...), ending in '/'.
VISTREL_EXPORT std::string DefaultModuleMarkerFolder();

class VISTREL_EXPORT ModuleLoadGuard
{
public:
    // What an earlier load of a module left behind.
    struct Crash
    {
        std::string modulePath;
        std::string step;   // the step the load was at when the program ended ("loading", "PlgConnect", ...)
    };
    // Told once about a module skipped for a crash; true to try it again at the next start, false to keep it off.
    using TellFunc = std::function<bool(const Crash& crash)>;

    // `markerFolder` empty: nothing is guarded. `kind` keeps the markers of two kinds of module apart in one folder.
    ModuleLoadGuard(std::string markerFolder, std::string kind);

    void SetMarkerFolder(std::string folder) { m_folder = std::move(folder); }
    const std::string& MarkerFolder() const { return m_folder; }

    // False when the module must not be loaded: its last load crashed (a marker for this very file is there), or it
    // was skipped before by this guard. The first skip of a crash not yet told calls `tell`; its answer decides
    // whether the next start tries the module again. A marker of another file at the path is stale and removed.
    bool MayLoad(const std::string& modulePath, const TellFunc& tell);

    // Marks a module as being loaded, at `step`, from construction until destruction (however the scope ends,
    // but a crash); Step moves it on. A marker that cannot be written leaves the load unguarded, never refused.
    class Scope
    {
    public:
        Scope(const ModuleLoadGuard& guard, std::string modulePath, std::string step = "loading");
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        void Step(std::string step);

    private:
        const ModuleLoadGuard& m_guard;
        std::string m_modulePath;
        int m_marker = -1;   // the marker, locked while the load runs when the lock could be had; -1 when not made
    };

private:
    std::string MarkerPath(const std::string& modulePath) const;
    // Into `descriptor` when one is given (the loader's own marker, whatever became of its name), else at the path.
    void WriteMarker(const std::string& modulePath, const std::string& step, bool told, int descriptor = -1) const;

    std::string m_folder;
    std::string m_kind;
    std::set<std::string> m_skipped;   // skipped in this run: a retry waits for the next start
};
