// The owner texts of "OEM/OEM.INI" below the program root (optional): the about box, the splash screen and the
// About menu item show them. Sections "KOR" and "ENG", six keys each. Texts come out as UTF-8; a file written on
// Windows in the Korean code page is decoded (strings/StoredText). Each text keeps at most kOemTextLimit
// characters, cut between characters.
#pragma once

#include <string>

class CAppEnvironment;

constexpr size_t kOemTextLimit = 259;

struct OEM_TEXTS
{
    std::string title;
    std::string copyright;
    std::string email;
    std::string homepage;
    std::string splash_image_url;
    std::string aboutbox_title_url;
};

struct tagOEM_INFO
{
    int present = 0;  // 1 when the file exists
    OEM_TEXTS kor;
    OEM_TEXTS eng;
};

// Reads the file of `environment`'s root; all texts empty and `present` 0 when it is missing or the environment
// is not initialised.
tagOEM_INFO ReadOemInfo(const CAppEnvironment& environment);
