// A registry script (".reg"), as the program imports its stock layouts. Applying a script twice must leave the
// store as applying it once did.
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "ScratchRegistry.h"

#include "core/RegistryScript.h"
#include "profile/Registry.h"

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string StoreBytes()
{
    std::ifstream in(UseScratchRegistry(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

VISTREL_FUZZ_TARGET(registry_script)
{
    UseScratchRegistry();
    RegDeleteTree(HKEY_CURRENT_USER, "Software");
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    if (!ImportRegistryScriptBytes(script))
        return 0;
    const std::string once = StoreBytes();
    ImportRegistryScriptBytes(script);
    FuzzCheck(StoreBytes() == once, "a script applied twice changes nothing the second time");
    return 0;
}
