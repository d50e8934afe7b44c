#include "core/SettingsFileNotices.h"

#include "inifile/PrivateProfile.h"
#include "profile/Registry.h"
#include "resources/StringTable.h"
#include "ui/MessageBox.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kSettingsFileStrings(
    kModule,
    {
        {settingsstr::IDS_STORE_DAMAGED_COPIED,
         "The settings file %1 was damaged. The settings that could be read are kept; the file as it was found is "
         "saved as %2.",
         "설정 파일 %1이(가) 손상되었습니다. 읽을 수 있는 설정은 유지되며, 손상된 파일은 %2(으)로 보관되었습니다."},
        {settingsstr::IDS_STORE_DAMAGED_KEPT,
         "The settings file %1 is damaged, and no copy of it could be made. It is left as it is: settings changed "
         "now will not be saved.",
         "설정 파일 %1이(가) 손상되었으며 사본을 만들 수 없습니다. 파일은 그대로 두며, 지금 바꾼 설정은 저장되지 "
         "않습니다."},
        {settingsstr::IDS_STORE_UNREADABLE,
         "The settings file %1 cannot be read. The program uses default settings, and settings changed now will not "
         "be saved.",
         "설정 파일 %1을(를) 읽을 수 없습니다. 기본 설정을 사용하며, 지금 바꾼 설정은 저장되지 않습니다."},
        {settingsstr::IDS_SETTINGS_NOT_SAVED, "The settings could not be saved to:\n%1",
         "다음 파일에 설정을 저장할 수 없습니다:\n%1"},
    });

// `text` with "%1" and "%2" replaced (each once, as the texts hold them).
std::string Filled(std::string text, const std::string& first, const std::string& second = {})
{
    if (const size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, first);
    if (const size_t at = text.find("%2"); at != std::string::npos)
        text.replace(at, 2, second);
    return text;
}

}  // namespace

std::string SettingsFileString(UINT id)
{
    return LoadString(kModule, id);
}

void TellSettingsFileProblems()
{
    std::vector<std::string> notSaved;
    for (const RegistryStoreProblem& problem : RegTakeStoreProblems()) {
        switch (problem.kind) {
        case RegistryStoreProblem::Damaged:
            if (problem.copy.empty())
                AfxMessageBox(Filled(SettingsFileString(settingsstr::IDS_STORE_DAMAGED_KEPT), problem.file),
                              MB_OK | MB_ICONWARNING);
            else
                AfxMessageBox(Filled(SettingsFileString(settingsstr::IDS_STORE_DAMAGED_COPIED), problem.file,
                                     problem.copy),
                              MB_OK | MB_ICONWARNING);
            break;
        case RegistryStoreProblem::Unreadable:
            AfxMessageBox(Filled(SettingsFileString(settingsstr::IDS_STORE_UNREADABLE), problem.file),
                          MB_OK | MB_ICONWARNING);
            break;
        case RegistryStoreProblem::NotWritten:
            notSaved.push_back(problem.file);
            break;
        }
    }
    for (const std::string& file : TakeFailedPrivateProfileWrites())
        if (std::find(notSaved.begin(), notSaved.end(), file) == notSaved.end())
            notSaved.push_back(file);
    if (notSaved.empty())
        return;
    std::string files;
    for (const std::string& file : notSaved)
        files += (files.empty() ? "" : "\n") + file;
    AfxMessageBox(Filled(SettingsFileString(settingsstr::IDS_SETTINGS_NOT_SAVED), files), MB_OK | MB_ICONWARNING);
}
