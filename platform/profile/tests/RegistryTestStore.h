// Points the registry at a fresh temporary user folder and system folder for each test and reloads it, so tests
// never see or touch the real store. The system (HKEY_LOCAL_MACHINE) file can be laid down before reloading.
#pragma once

#include "profile/Registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <stdlib.h>

class RegistryTestStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vp_profile_XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        setenv("XDG_CONFIG_HOME", (root_ / "home").c_str(), 1);
        const std::string systemDirs = (root_ / "missing").string() + ":" + (root_ / "system").string();
        setenv("XDG_CONFIG_DIRS", systemDirs.c_str(), 1);
        RegReloadStore();
        RegTakeStoreProblems();   // what earlier tests left
    }
    void TearDown() override
    {
        std::filesystem::remove_all(root_);
        RegReloadStore();
    }

    std::string UserFile() const { return (root_ / "home/QRX/registry-hkcu.reg").string(); }
    std::string MachineFile() const { return (root_ / "system/QRX/registry-hklm.reg").string(); }

    static void WriteText(const std::string& file, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string ReadText(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path root_;
};
