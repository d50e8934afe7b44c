// Seeds of the registry-script reader: scripts in the shapes the layout files take (values of every kind, a
// continued line, key and value deletions) in UTF-8 and in UTF-16 with its byte-order mark.
#include "FuzzSeeds.h"

#include <string>

namespace {

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> Utf16(const std::string& ascii)
{
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    for (const char c : ascii) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

}  // namespace

VISTREL_FUZZ_SEEDS(registry_script)
{
    const std::string layout =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[-HKEY_CURRENT_USER\\Software\\QRX\\Vistrel\\ToolBarLayouts]\r\n"
        "[HKEY_CURRENT_USER\\Software\\QRX\\Vistrel\\ToolBarLayouts\\VM_TOOLBAR_STATE]\r\n"
        "\"State\"=hex:00,00,00,ff,00,00,00,00,fd,00,00,00,\\\r\n"
        "  01,00,00,00\r\n"
        "\"Count\"=dword:00000009\r\n"
        "\"Caption\"=\"Basic \\\"bar\\\" C:\\\\\"\r\n"
        "@=\"default\"\r\n"
        "\"Expand\"=hex(2):25,00,00,00\r\n"
        "\"Old\"=-\r\n";
    const std::string old = "REGEDIT4\n[HKCU\\Software\\QRX\\Vistrel\\UI]\n\"Version\"=dword:00000005\n";
    return {Bytes(layout), Bytes(old), Utf16(layout)};
}
