// The version block of a program file: the fixed numbers, the translations and the texts of one translation.
// Linux executables carry none, so a block comes from one of two places: a "<file>.version" text beside the file
// (read first, when present; it lets an install or a test give a file a block of its own), else, for the
// program's own executable, the record the build compiled into it. Any thread; no shared state.
//
// The ".version" text is a private-profile file:
//   [VersionInfo]
//   FileVersion=4.5.0.0            four numbers below 65536; fills the fixed record
//   ProductVersion=4.5.0.0
//   Translation=0412 04B0, 0409 04B0   language and code page in hex, the first is the file's own
//   [StringFileInfo\041204B0]      the texts of one translation, keys named as the getters below
//   ProductName=...
#pragma once

#include "resources/Language.h"

#include <cstdint>
#include <string>
#include <vector>

// The fixed part of a version block, 52 bytes in its Windows layout.
struct VS_FIXEDFILEINFO
{
    uint32_t dwSignature;
    uint32_t dwStrucVersion;
    uint32_t dwFileVersionMS;
    uint32_t dwFileVersionLS;
    uint32_t dwProductVersionMS;
    uint32_t dwProductVersionLS;
    uint32_t dwFileFlagsMask;
    uint32_t dwFileFlags;
    uint32_t dwFileOS;
    uint32_t dwFileType;
    uint32_t dwFileSubtype;
    uint32_t dwFileDateMS;
    uint32_t dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

constexpr uint32_t VS_FFI_SIGNATURE = 0xFEEF04BD;

struct VersionTranslation
{
    uint16_t language;
    uint16_t codePage;
};

// The entry whose texts are read for a user of `userLanguage`: the entry of that language, else the first whose
// low byte matches; then the same for language 0, then for English (low byte 9); else the first entry. -1 for an
// empty list.
int ChooseVersionTranslation(const std::vector<VersionTranslation>& entries, LANGID userLanguage);

class CFileVersionInfo
{
public:
    CFileVersionInfo();

    // Reads the block of `path`; 1 on success, 0 when the file has none (every field is then zero).
    int Create(const std::string& path);
    // Zeroes the fixed record and empties the texts; the translation stays.
    void Reset();

    const VS_FIXEDFILEINFO& GetFixedFileInfo() const { return m_fixed; }
    // The file's own translation (the first entry of its list); 0 and 0 without a block.
    uint16_t GetLanguageId() const { return m_translation.language; }
    uint16_t GetCodePage() const { return m_translation.codePage; }

    // One 16-bit part of a version number: 0 the lowest, 3 the major number; any other part gives 0.
    uint16_t GetFileVersion(int part) const;
    uint16_t GetProductVersion(int part) const;

    // The texts of the translation that suits the user's language.
    std::string GetCompanyName() const { return m_strings[0]; }
    std::string GetFileDescription() const { return m_strings[1]; }
    std::string GetFileVersionText() const { return m_strings[2]; }
    std::string GetInternalName() const { return m_strings[3]; }
    std::string GetLegalCopyright() const { return m_strings[4]; }
    std::string GetOriginalFileName() const { return m_strings[5]; }
    std::string GetProductName() const { return m_strings[6]; }
    std::string GetProductVersionText() const { return m_strings[7]; }
    std::string GetComments() const { return m_strings[8]; }
    std::string GetLegalTrademarks() const { return m_strings[9]; }
    std::string GetPrivateBuild() const { return m_strings[10]; }
    std::string GetSpecialBuild() const { return m_strings[11]; }

    static constexpr int kStringCount = 12;
    // The names of the texts in the block, in the order of the getters above.
    static const char* const kStringNames[kStringCount];

private:
    bool ReadSidecar(const std::string& file);
    void ReadCompiledRecord();

    VS_FIXEDFILEINFO m_fixed{};
    VersionTranslation m_translation{};
    std::string m_strings[kStringCount];
};
