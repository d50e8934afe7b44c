// What the fuzz targets share: bytes as a FILE*, a private scratch folder, and the GUI application that text
// measuring and the clipboard need. A target reports a broken property (not just a crash) through FuzzCheck,
// which aborts so that libFuzzer and the sanitizers keep the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct FuzzFileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};
using FuzzFile = std::unique_ptr<FILE, FuzzFileCloser>;

// A read-only stream over a copy of the bytes (the copy lives as long as the stream).
class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size);
    FILE* file() const { return m_file.get(); }

private:
    std::vector<uint8_t> m_bytes;
    FuzzFile m_file;
};

// A stream in memory to write into; Contents() flushes and returns what was written.
class FuzzOutput
{
public:
    FuzzOutput();
    ~FuzzOutput();
    FuzzOutput(const FuzzOutput&) = delete;
    FuzzOutput& operator=(const FuzzOutput&) = delete;
    FILE* file() const { return m_file; }
    std::vector<uint8_t> Contents();

private:
    char* m_buffer = nullptr;
    size_t m_size = 0;
    FILE* m_file = nullptr;
};

// A folder of this process, made on first use and removed at exit.
const std::string& FuzzScratchFolder();
// Writes the bytes to the file, replacing it; false when that failed.
bool WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size);

// Makes sure a QApplication exists (offscreen unless a platform was chosen) with numbers in the C locale.
void EnsureFuzzApplication();

// Aborts with the message when the condition does not hold.
void FuzzCheck(bool condition, const char* what);
