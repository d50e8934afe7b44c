// A fresh temporary folder per test, with the registry and the documents folder pointed into it, so settings tests
// never see or touch the real home. Also saves and restores the program environment, the UI language and the
// current directory that tests change.
#pragma once

#include "core/CAppEnvironment.h"
#include "profile/Registry.h"
#include "resources/UiLanguage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <stdlib.h>

class CoreTestFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vistrel_core_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        m_savedEnvironment = AppEnvironment();
        m_savedLanguage = GetUiLanguage();
        m_savedDirectory = std::filesystem::current_path();
        SaveVariable("XDG_CONFIG_HOME", m_savedConfigHome);
        SaveVariable("XDG_CONFIG_DIRS", m_savedConfigDirs);
        setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (m_root / "system").c_str(), 1);
        RegReloadStore();
    }

    void TearDown() override
    {
        std::filesystem::current_path(m_savedDirectory);
        AppEnvironment() = m_savedEnvironment;
        SetUiLanguage(m_savedLanguage);
        RestoreVariable("XDG_CONFIG_HOME", m_savedConfigHome);
        RestoreVariable("XDG_CONFIG_DIRS", m_savedConfigDirs);
        RegReloadStore();
        std::filesystem::remove_all(m_root);
    }

    const std::filesystem::path& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return (m_root / relative).string(); }

    static void WriteBytes(const std::string& file, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

private:
    struct SavedVariable
    {
        bool set = false;
        std::string value;
    };
    static void SaveVariable(const char* name, SavedVariable& saved)
    {
        const char* value = getenv(name);
        saved.set = value != nullptr;
        saved.value = value != nullptr ? value : "";
    }
    static void RestoreVariable(const char* name, const SavedVariable& saved)
    {
        if (saved.set)
            setenv(name, saved.value.c_str(), 1);
        else
            unsetenv(name);
    }

    std::filesystem::path m_root;
    std::filesystem::path m_savedDirectory;
    CAppEnvironment m_savedEnvironment;
    LANGID m_savedLanguage = UI_LANGUAGE_ENGLISH;
    SavedVariable m_savedConfigHome;
    SavedVariable m_savedConfigDirs;
};
