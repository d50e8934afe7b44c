// The program-wide objects as the parts below the program's assembly (app/program) see them: the calibrations, the
// folders, the profile with its grid, the codecs, the frame lock, the open documents, the companion mailbox and the
// application object. The assembly (ProgramObjects) implements it; a part that is made by someone holding it takes
// it in its constructor, and only code reached from where no owner can pass it asks TheProgram(). UI thread, but
// for the frame lock.
#pragma once

#include <mutex>
#include <string>

class CAppEnvironment;
class CCalibrationList;
class CLatticer;
class CQvImageCodec;
class CVistrelApp;
class CompanionMailbox;
class DocumentRegistry;
struct ProfileSettings;

class ProgramServices
{
public:
    virtual CVistrelApp& App() = 0;
    virtual std::string& PlugInMode() = 0;
    virtual CQvImageCodec& Codec() = 0;
    // The open documents.
    virtual DocumentRegistry& Documents() = 0;
    // The main window's mailbox for companion programs; null until the main window is built.
    virtual CompanionMailbox* Companions() = 0;
    virtual CCalibrationList& Calibrations() = 0;
    virtual CAppEnvironment& Environment() = 0;
    // The program-wide grid, the display preferences and the live view's centre cross, as the profile keeps them.
    virtual ProfileSettings& Profile() = 0;
    virtual CLatticer& Grid() = 0;
    // Taken by the live-frame drawing and by the display window's painting and input handling.
    virtual std::recursive_mutex& FrameLock() = 0;

protected:
    ~ProgramServices() = default;
};

// The program's objects while they exist, else null.
ProgramServices* TheProgram();
// Called by the program's assembly as it comes and goes.
void SetTheProgram(ProgramServices* program);
