// The files last opened or saved, newest first, as the File menu lists them and the profile keeps them between
// sessions (section "Recent File List", values "File1".."File<n>"). UI thread.
#pragma once

#include <string>
#include <vector>

class CAppProfile;

class CRecentFileList
{
public:
    static constexpr const char* kSection = "Recent File List";
    static constexpr const char* kEntryPrefix = "File";

    explicit CRecentFileList(int size) : m_size(size) {}

    // Puts `path` at the top; an entry of the same path moves up instead of appearing twice.
    void Add(const std::string& path);
    void Remove(int index);
    int GetSize() const { return m_size; }
    const std::vector<std::string>& Files() const { return m_files; }

    // The menu text of entry `index`: its number as the mnemonic, then the path.
    std::string MenuText(int index) const;

    void ReadList(CAppProfile& profile);
    // Writes every entry and clears the values of the places beyond them, so a shorter list does not come back
    // longer.
    void WriteList(CAppProfile& profile) const;

private:
    int m_size;
    std::vector<std::string> m_files;
};
