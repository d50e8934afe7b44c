// A settings save as the program makes it: 1,000 profile writes (ten sections of a hundred numbers, each a new
// value) inside one write batch, against writing the same store bytes once with a plain buffered writer, flushed to
// disk and renamed over the file as the store does (and, for scale, without the flush to disk). Target: the batch
// under 20 ms. For comparison, 100 of the same writes without a batch, one atomic write each. Before timing, the
// batch's file is read back value by value and must equal the bytes the plain writer writes.
#include "profile/CAppProfile.h"
#include "profile/Registry.h"
#include "profile/RegistryWriteBatch.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSections = 10;
constexpr int kEntriesPerSection = 100;
constexpr int kRepetitions = 9;

struct Setting
{
    std::string section;
    std::string entry;
};

const std::vector<Setting>& Settings()
{
    static const std::vector<Setting> settings = [] {
        std::vector<Setting> all;
        for (int s = 0; s < kSections; ++s)
            for (int e = 0; e < kEntriesPerSection; ++e)
                all.push_back({"Section " + std::to_string(s), "Entry " + std::to_string(e)});
        return all;
    }();
    return settings;
}

CAppProfile& Profile()
{
    static CAppProfile profile("QRX", "Vistrel");
    return profile;
}

std::string g_folder;

std::string StoreFile()
{
    return g_folder + "/QRX/registry-hkcu.reg";
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every setting gets a value that depends on the round, so each round changes them all.
int g_round = 0;

void WriteSettings(size_t count)
{
    const int round = ++g_round;
    const std::vector<Setting>& settings = Settings();
    for (size_t i = 0; i < count; ++i)
        Profile().WriteProfileInt(settings[i].section.c_str(), settings[i].entry.c_str(),
                                  round * 10000 + static_cast<int>(i));
}

void PlainWrite(const std::string& path, const std::string& bytes, bool toDisk)
{
    const std::string temp = path + ".tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    if (toDisk)
        ::fsync(::fileno(file));
    std::fclose(file);
    std::rename(temp.c_str(), path.c_str());
    if (toDisk) {
        const int folder = ::open(std::filesystem::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY);
        ::fsync(folder);
        ::close(folder);
    }
}

// The batch stores every value, reads back as written, and writes the very bytes the peers write.
bool BatchIsRight(std::string& storeBytes)
{
    {
        RegistryWriteBatch batch;
        WriteSettings(Settings().size());
    }
    RegReloadStore();
    const std::vector<Setting>& settings = Settings();
    for (size_t i = 0; i < settings.size(); ++i)
        if (Profile().GetProfileInt(settings[i].section.c_str(), settings[i].entry.c_str(), -1) !=
            g_round * 10000 + static_cast<int>(i))
            return false;
    storeBytes = FileText(StoreFile());
    const std::string peerFile = g_folder + "/peer.reg";
    PlainWrite(peerFile, storeBytes, true);
    return storeBytes.size() > Settings().size() * 20 && FileText(peerFile) == storeBytes;
}

std::string g_storeBytes;

void BM_ThousandWritesInOneBatch(benchmark::State& state)
{
    for (auto _ : state) {
        RegistryWriteBatch batch;
        WriteSettings(Settings().size());
    }
}

void BM_PlainWriteOfTheSameBytes(benchmark::State& state)
{
    const std::string path = g_folder + "/peer.reg";
    for (auto _ : state)
        PlainWrite(path, g_storeBytes, true);
}

void BM_PlainWriteOfTheSameBytesNotFlushedToDisk(benchmark::State& state)
{
    const std::string path = g_folder + "/peer.reg";
    for (auto _ : state)
        PlainWrite(path, g_storeBytes, false);
}

void BM_HundredWritesWithoutABatch(benchmark::State& state)
{
    for (auto _ : state)
        WriteSettings(100);
}

BENCHMARK(BM_ThousandWritesInOneBatch)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainWriteOfTheSameBytes)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainWriteOfTheSameBytesNotFlushedToDisk)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HundredWritesWithoutABatch)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    // A store of its own, beside the disk's other files, never the user's.
    std::string pattern = (std::filesystem::temp_directory_path() / "profile_bench_XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return EXIT_FAILURE;
    g_folder = pattern;
    ::setenv("XDG_CONFIG_HOME", g_folder.c_str(), 1);
    RegReloadStore();
    int result = EXIT_SUCCESS;
    if (BatchIsRight(g_storeBytes)) {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    } else {
        std::fprintf(stderr, "the batch stored something else; not timing it\n");
        result = EXIT_FAILURE;
    }
    std::filesystem::remove_all(g_folder);
    return result;
}
