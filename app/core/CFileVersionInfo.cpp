#include "core/CFileVersionInfo.h"

#include "core/private/ProgramVersion.h"
#include "inifile/PrivateProfile.h"
#include "strings/Format.h"

#include <charconv>
#include <filesystem>
#include <system_error>

const char* const CFileVersionInfo::kStringNames[kStringCount] = {
    "CompanyName", "FileDescription", "FileVersion", "InternalName",    "LegalCopyright", "OriginalFileName",
    "ProductName", "ProductVersion",  "Comments",    "LegalTrademarks", "PrivateBuild",   "SpecialBuild",
};

namespace {
constexpr const char* kSidecarSuffix = ".version";
constexpr const char* kInfoSection = "VersionInfo";

std::string_view Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool ParseNumber(std::string_view text, int base, uint16_t& value)
{
    text = Trimmed(text);
    if (text.empty())
        return false;
    unsigned parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
    if (error != std::errc() || end != text.data() + text.size() || parsed > 0xFFFF)
        return false;
    value = static_cast<uint16_t>(parsed);
    return true;
}

// "a.b.c.d" into the two double words of the fixed record (a is the high word of the first).
bool ParseVersion(std::string_view text, uint32_t& ms, uint32_t& ls)
{
    uint16_t parts[4];
    for (int i = 0; i < 4; ++i) {
        const size_t dot = text.find('.');
        if ((dot == std::string_view::npos) != (i == 3))
            return false;
        if (!ParseNumber(text.substr(0, dot), 10, parts[i]))
            return false;
        text = i == 3 ? std::string_view() : text.substr(dot + 1);
    }
    ms = (uint32_t{parts[0]} << 16) | parts[1];
    ls = (uint32_t{parts[2]} << 16) | parts[3];
    return true;
}

// "0412 04B0, 0409 04B0": entries that do not read as two hex numbers are skipped.
std::vector<VersionTranslation> ParseTranslations(std::string_view text)
{
    std::vector<VersionTranslation> entries;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view entry = Trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const size_t blank = entry.find_first_of(" \t");
        VersionTranslation translation{};
        if (blank != std::string_view::npos && ParseNumber(entry.substr(0, blank), 16, translation.language) &&
            ParseNumber(entry.substr(blank + 1), 16, translation.codePage))
            entries.push_back(translation);
    }
    return entries;
}

int FindLanguage(const std::vector<VersionTranslation>& entries, LANGID language)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].language == language)
            return static_cast<int>(i);
    for (size_t i = 0; i < entries.size(); ++i)
        if ((entries[i].language & 0xFF) == (language & 0xFF))
            return static_cast<int>(i);
    return -1;
}

bool IsOwnExecutable(const std::string& path)
{
    std::error_code error;
    return std::filesystem::equivalent(path, "/proc/self/exe", error) && !error;
}
}  // namespace

int ChooseVersionTranslation(const std::vector<VersionTranslation>& entries, LANGID userLanguage)
{
    if (entries.empty())
        return -1;
    for (const LANGID language : {userLanguage, LANGID{0}, LANGID{9}}) {
        const int found = FindLanguage(entries, language);
        if (found >= 0)
            return found;
    }
    return 0;
}

CFileVersionInfo::CFileVersionInfo()
{
    Reset();
}

void CFileVersionInfo::Reset()
{
    m_fixed = {};
    for (std::string& text : m_strings)
        text.clear();
}

int CFileVersionInfo::Create(const std::string& path)
{
    Reset();
    m_translation = {};
    if (path.empty())
        return 0;
    if (ReadSidecar(path + kSidecarSuffix))
        return 1;
    if (!IsOwnExecutable(path))
        return 0;
    ReadCompiledRecord();
    return 1;
}

bool CFileVersionInfo::ReadSidecar(const std::string& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return false;
    const char* name = file.c_str();

    uint32_t ms = 0;
    uint32_t ls = 0;
    bool fixed = false;
    if (ParseVersion(GetPrivateProfileString(kInfoSection, "FileVersion", "", name), ms, ls)) {
        m_fixed.dwFileVersionMS = ms;
        m_fixed.dwFileVersionLS = ls;
        fixed = true;
    }
    if (ParseVersion(GetPrivateProfileString(kInfoSection, "ProductVersion", "", name), ms, ls)) {
        m_fixed.dwProductVersionMS = ms;
        m_fixed.dwProductVersionLS = ls;
        fixed = true;
    }
    if (fixed) {
        m_fixed.dwSignature = VS_FFI_SIGNATURE;
        m_fixed.dwStrucVersion = 0x00010000;
    }

    const std::vector<VersionTranslation> entries =
        ParseTranslations(GetPrivateProfileString(kInfoSection, "Translation", "", name));
    const int chosen = ChooseVersionTranslation(entries, GetSystemDefaultLangID());
    if (chosen < 0)
        return true;
    m_translation = entries.front();
    const VersionTranslation& texts = entries[static_cast<size_t>(chosen)];
    const std::string section = Format("StringFileInfo\\%04X%04X", texts.language, texts.codePage);
    for (int i = 0; i < kStringCount; ++i)
        m_strings[i] = GetPrivateProfileString(section.c_str(), kStringNames[i], "", name);
    return true;
}

void CFileVersionInfo::ReadCompiledRecord()
{
    m_fixed.dwSignature = VS_FFI_SIGNATURE;
    m_fixed.dwStrucVersion = 0x00010000;
    const uint16_t* n = ProgramVersion::kNumbers;
    m_fixed.dwFileVersionMS = m_fixed.dwProductVersionMS = (uint32_t{n[0]} << 16) | n[1];
    m_fixed.dwFileVersionLS = m_fixed.dwProductVersionLS = (uint32_t{n[2]} << 16) | n[3];
    m_translation = {ProgramVersion::kLanguage, ProgramVersion::kCodePage};
    for (int i = 0; i < kStringCount; ++i)
        m_strings[i] = ProgramVersion::kStrings[i];
}

namespace {
uint16_t VersionPart(uint32_t ms, uint32_t ls, int part)
{
    switch (part) {
    case 0: return static_cast<uint16_t>(ls & 0xFFFF);
    case 1: return static_cast<uint16_t>(ls >> 16);
    case 2: return static_cast<uint16_t>(ms & 0xFFFF);
    case 3: return static_cast<uint16_t>(ms >> 16);
    default: return 0;
    }
}
}  // namespace

uint16_t CFileVersionInfo::GetFileVersion(int part) const
{
    return VersionPart(m_fixed.dwFileVersionMS, m_fixed.dwFileVersionLS, part);
}

uint16_t CFileVersionInfo::GetProductVersion(int part) const
{
    return VersionPart(m_fixed.dwProductVersionMS, m_fixed.dwProductVersionLS, part);
}
