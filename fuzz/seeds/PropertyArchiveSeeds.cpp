// Seeds of the property archive, written by the archive's own writer: an empty tree and one with every type.
#include "FuzzSeeds.h"

#include "datakeeper/CArchiveManager.h"

VISTREL_FUZZ_SEEDS(property_archive)
{
    using namespace datakeeper;
    FuzzSeedList seeds;
    {
        CArchiveManager archive;
        seeds.push_back(archive.SaveToBytes());
    }
    CArchiveManager archive;
    CArchiveElement* root = archive.GetRoot();
    root->AddAttribute(CDataCell("ACQ PROPERTYBASE FILE HEADER"), "FileHeader");
    root->AddAttribute(CDataCell(4), "FileVersion");
    root->AddAttribute(CDataCell(NewGuid()), "ID");
    CArchiveElement* captures = root->AddChild("CaptureSize")->AddChild("Captures");
    for (const char* name : {"0", "1"}) {
        CArchiveElement* capture = captures->AddChild(name);
        capture->AddAttribute(CDataCell(0.5f), "Ratio");
        capture->AddAttribute(CDataCell("\xEC\xA0\x88\xEB\xB0\x98"), "Name");
    }
    seeds.push_back(archive.SaveToBytes());
    return seeds;
}
