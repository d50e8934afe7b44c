// A device-property archive file. What reads must write back to the very same bytes (the format has one spelling
// for each tree), and a refused file must leave the tree held as it was.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "datakeeper/CArchiveManager.h"

VISTREL_FUZZ_TARGET(property_archive)
{
    datakeeper::CArchiveManager archive;
    archive.GetRoot()->AddAttribute(datakeeper::CDataCell(1), "held");
    if (!archive.LoadFromBytes(data, size)) {
        FuzzCheck(archive.GetRoot()->GetAttribute("held") != nullptr, "a refused file keeps the tree");
        return 0;
    }
    const std::vector<uint8_t> written = archive.SaveToBytes();
    FuzzCheck(written == std::vector<uint8_t>(data, data + size), "a file read writes back byte for byte");
    return 0;
}
