// A fresh temporary folder per test, removed with everything in it afterwards, plus whole-file helpers.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <stdlib.h>

class IniTestFolder
{
public:
    IniTestFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vp_inifile_XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~IniTestFolder() { std::filesystem::remove_all(path_); }

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

    static void Write(const std::string& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

private:
    std::filesystem::path path_;
};
