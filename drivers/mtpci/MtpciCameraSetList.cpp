#include "mtpci/MtpciCameraSetList.h"
#include "inifile/FileBytes.h"

#include <cstdio>
#include <fstream>
#include <iterator>

std::string MtpciCameraSetPathOf(const std::string& bytes)
{
    const size_t end = bytes.find('\n');
    std::string line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    // A path with a zero byte or one no file system takes names no file.
    if (line.size() > kMtpciMaxCameraSetPath || line.find('\0') != std::string::npos)
        return std::string();
    return line;
}

bool MtpciReadCameraSetList(const std::string& listFile, std::string& cameraSet)
{
    // A regular file only (a FIFO there would stop the driver), of at most a settings file's size; its first line
    // is all that is read.
    std::string bytes;
    if (!ReadFileBytes(listFile, bytes))
        return false;
    bytes.resize(std::min(bytes.size(), size_t(kMtpciMaxCameraSetPath + 2)));
    cameraSet = MtpciCameraSetPathOf(bytes);
    return true;
}

bool MtpciWriteCameraSetList(const std::string& listFile, const std::string& cameraSet)
{
    const std::string temporary = listFile + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out << cameraSet << "\n";
        if (!out.flush())
            return false;
    }
    if (std::rename(temporary.c_str(), listFile.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
