// The base of every plug-in module's one global application object: the menu entries the module registers and the
// factory of its views. The module constructs the object by static initialisation and owns it; PlgConnect hands
// out its address and nobody else deletes it. UI thread only.
//
// The virtual operations are part of the frozen contract (PlugInContract.h), in this slot order: destructor,
// CreatePlgView, InitPlgApp, ExitPlgApp. Do not add, remove or reorder them without raising the contract version.
#pragma once

#include "types/VistrelExport.h"

#include <functional>
#include <string>
#include <vector>

class CPlgView;

// One registered menu entry, as AddPlgInfo received it.
struct tagPlgInfo
{
    std::string group;  // the text of the plug-in's sub-menu
    std::string item;   // the entry's text
    int flag = 1;       // 1: run once and release the view; 0: the view stays attached to the document
    int index = 0;      // what the host passes to CreatePlgView for this entry
    unsigned long reserved = 0;
};

class VISTREL_EXPORT CPlgApplication
{
public:
    CPlgApplication();
    virtual ~CPlgApplication();
    CPlgApplication(const CPlgApplication&) = delete;
    CPlgApplication& operator=(const CPlgApplication&) = delete;

    // Creates the view of entry `index` into *out and returns 1. An index the module does not know returns 0 and
    // leaves *out untouched. The caller owns the view and deletes it through its virtual destructor.
    virtual int CreatePlgView(int index, int reserved, CPlgView** out);
    // Called before a plug-in that is not active anywhere runs; 1 when ready. Does nothing by default.
    virtual int InitPlgApp();
    // For the module's own exit code: the manager never calls it (a library marked STB_GNU_UNIQUE is not unloaded
    // before the process ends). Does nothing by default.
    virtual int ExitPlgApp();

    // Appends one menu entry; returns 1, or 0 (nothing registered) for a null text.
    int AddPlgInfo(const char* group, const char* item, int flag = 1, int index = 0, unsigned long reserved = 0);
    // Asks the host to detach every view of this application from every document (each view's OnClose runs
    // first); a resident plug-in ends itself this way. Nothing before a host installed its calls.
    void Destroy();
    // Asks the host to show the rows of the plug-in's report controls again.
    void UpdateReport();
    // The host's side of Destroy and UpdateReport, one pair for the process (the plug-in manager installs it).
    static void SetHostCalls(std::function<void(CPlgApplication*)> destroy, std::function<void()> updateReport);

    // The entries in the order they were registered.
    const std::vector<tagPlgInfo>& GetPlgInfoList() const { return m_plgInfo; }
    // Forgets the entries: the host asks a module again with a fresh list (a library that stays loaded keeps its
    // application object between connects).
    void RemoveAllPlgInfo() { m_plgInfo.clear(); }

private:
    std::vector<tagPlgInfo> m_plgInfo;
};
