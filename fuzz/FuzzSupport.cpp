#include "FuzzSupport.h"

#include "FuzzTarget.h"

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <stdlib.h>

std::vector<FuzzTargetInfo>& RegisteredFuzzTargets()
{
    static std::vector<FuzzTargetInfo> targets;
    return targets;
}

bool RegisterFuzzTarget(const char* name, FuzzEntry entry)
{
    RegisteredFuzzTargets().push_back({name, entry});
    return true;
}

FuzzInput::FuzzInput(const uint8_t* data, size_t size) : m_bytes(data, data + size)
{
    // fmemopen refuses an empty buffer: an empty input reads as an empty file.
    m_file.reset(size ? fmemopen(m_bytes.data(), size, "rb") : std::fopen("/dev/null", "rb"));
    if (!m_file)
        std::abort();
}

FuzzOutput::FuzzOutput() : m_file(open_memstream(&m_buffer, &m_size))
{
    if (!m_file)
        std::abort();
}

FuzzOutput::~FuzzOutput()
{
    std::fclose(m_file);
    std::free(m_buffer);
}

std::vector<uint8_t> FuzzOutput::Contents()
{
    std::fflush(m_file);
    return std::vector<uint8_t>(m_buffer, m_buffer + m_size);
}

namespace {

struct ScratchFolder
{
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vistrel_fuzz_XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

}  // namespace

const std::string& FuzzScratchFolder()
{
    static const ScratchFolder folder;
    return folder.path;
}

bool WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = (size == 0 || std::fwrite(data, 1, size, file) == size);
    return std::fclose(file) == 0 && written;
}

void EnsureFuzzApplication()
{
    if (QCoreApplication::instance())
        return;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "vistrel_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* const application = new QApplication(argc, argv);
    (void)application;
    std::setlocale(LC_NUMERIC, "C");
}

void FuzzCheck(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}
