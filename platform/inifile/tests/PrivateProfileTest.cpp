#include "inifile/PrivateProfile.h"

#include "IniTestFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <thread>

#include <sys/stat.h>

namespace {

// Lines written as a person or an older program would have left them; "\n" is replaced by the break under test.
const char* const kSample =
    "; owner notes\n"
    "orphan=before any section\n"
    "[Config]\n"
    "ZoomFitMode = yes  \n"
    "Quoted = \"  padded  \"\n"
    "Single='x'\n"
    "Mismatch=\"abc'\n"
    "Empty=\n"
    "dup=first\n"
    "DUP=second\n"
    "  Spaced Key  =  v w  \n"
    "; commented=out\n"
    "no equals sign here\n"
    "Count=-12abc\n"
    "\n"
    "[config]\n"
    "Late=hidden by the first section\n"
    "[Other]\n"
    "n=0x1F\n";

std::string WithBreaks(const std::string& text, const std::string& lineBreak)
{
    return std::regex_replace(text, std::regex("\n"), lineBreak);
}

class PrivateProfileRead : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override { IniTestFolder::Write(file_, WithBreaks(kSample, GetParam())); }

    IniTestFolder folder_;
    std::string file_ = folder_.File("sample.ini");
};

} // namespace

TEST_P(PrivateProfileRead, FollowsWindowsLookupRules)
{
    struct Case { const char* section; const char* key; const char* fallback; const char* expected; };
    const Case cases[] = {
        {"CONFIG", "zoomfitmode", "d", "yes"},                  // names fold case, value trimmed
        {"Config", "Quoted", "d", "  padded  "},                // quotes stripped, blanks inside kept
        {"Config", "Single", "d", "x"},
        {"Config", "Mismatch", "d", "\"abc'"},                   // unmatched quotes stay
        {"Config", "Empty", "d", ""},                            // present but empty is not missing
        {"Config", "dup", "d", "first"},                         // first key wins
        {"Config", "Spaced Key", "d", "v w"},
        {"Config", "commented", "d", "d"},                       // comment lines are no keys
        {"Config", "no equals sign here", "d", "d"},
        {"config", "Late", "d", "d"},                            // a repeated section is hidden by the first
        {"", "orphan", "d", "d"},                                // lines above the first section belong to none
        {"Missing", "ZoomFitMode", "fallback", "fallback"},
        {"Config", "Missing", "trailing  ", "trailing"},         // trailing blanks of the default are dropped
        {"Config", "Missing", nullptr, ""},
    };
    for (const Case& c : cases) {
        char buffer[64];
        const uint32_t n = GetPrivateProfileString(c.section, c.key, c.fallback, buffer, sizeof buffer,
                                                   file_.c_str());
        EXPECT_STREQ(buffer, c.expected) << c.section << "/" << c.key;
        EXPECT_EQ(n, std::strlen(c.expected)) << c.section << "/" << c.key;
        if (c.fallback && std::string(c.fallback) != "trailing  ") {   // the string form returns defaults as given
            EXPECT_EQ(GetPrivateProfileString(c.section, c.key, c.fallback, file_.c_str()), c.expected);
        }
    }
}

TEST_P(PrivateProfileRead, IntegersAreTheLeadingDecimalNumber)
{
    IniTestFolder::Write(file_, WithBreaks("[N]\na=42\nb=-12abc\nc=+7\nd=abc\ne=\nf=0x1F\ng=\" 15\"\nh=4294967297\n",
                                           GetParam()));
    struct Case { const char* key; int expected; };
    const Case cases[] = {{"a", 42}, {"b", -12}, {"c", 7}, {"d", 0}, {"e", 99}, {"f", 0}, {"g", 15},
                          {"h", 1}, {"missing", 99}};
    for (const Case& c : cases)
        EXPECT_EQ(GetPrivateProfileInt("n", c.key, 99, file_.c_str()), c.expected) << c.key;
}

TEST_P(PrivateProfileRead, ListsNamesEachEndedByZeroAndTheListByASecondZero)
{
    char buffer[128];
    uint32_t n = GetPrivateProfileString(nullptr, nullptr, "ignored", buffer, sizeof buffer, file_.c_str());
    EXPECT_EQ(std::string(buffer, n + 1), std::string("Config\0config\0Other\0\0", 21));
    n = GetPrivateProfileSectionNames(buffer, sizeof buffer, file_.c_str());
    EXPECT_EQ(std::string(buffer, n + 1), std::string("Config\0config\0Other\0\0", 21));

    n = GetPrivateProfileString("other", nullptr, nullptr, buffer, sizeof buffer, file_.c_str());
    EXPECT_EQ(std::string(buffer, n + 1), std::string("n\0\0", 3));
    n = GetPrivateProfileSection("CONFIG", buffer, 48, file_.c_str());
    EXPECT_EQ(std::string(buffer, n + 1),
              std::string("ZoomFitMode=yes\0Quoted=\"  padded  \"\0Single='x'\0\0", 47));
}

INSTANTIATE_TEST_SUITE_P(LineBreaks, PrivateProfileRead, ::testing::Values("\n", "\r\n"),
                         [](const auto& info) { return std::string(info.param)[0] == '\r' ? "CRLF" : "LF"; });

TEST(PrivateProfile, ShortBuffersCutLikeWindows)
{
    IniTestFolder folder;
    const std::string file = folder.File("cut.ini");
    IniTestFolder::Write(file, "[S]\nvalue=abcdef\n[Second]\n");

    struct Case { const char* key; uint32_t size; const char* expected; uint32_t count; };
    const Case cases[] = {
        {"value", 7, "abcdef", 6}, {"value", 6, "abcde", 5}, {"value", 2, "a", 1}, {"value", 1, "", 0},
        {"missing", 4, "def", 3},   // the default "default" is cut the same way
    };
    for (const Case& c : cases) {
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetPrivateProfileString("S", c.key, "default", buffer, c.size, file.c_str()), c.count);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(buffer[c.size], '#') << "wrote past the buffer";
    }

    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileSectionNames(buffer, 6, file.c_str()), 4u);
    EXPECT_EQ(std::string(buffer, 7), std::string("S\0Se\0\0#", 7));
    EXPECT_EQ(GetPrivateProfileString("S", "value", "d", buffer, 0, file.c_str()), 0u);
}

TEST(PrivateProfile, MissingFileGivesDefaultsAndAWriteCreatesIt)
{
    IniTestFolder folder;
    const std::string file = folder.File("VISTREL.INI");
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileString("FILE", "Name", "dflt", buffer, sizeof buffer, file.c_str()), 4u);
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_EQ(GetPrivateProfileInt("FILE", "SaveDefExtIndex", -1, file.c_str()), -1);
    EXPECT_EQ(GetPrivateProfileSectionNames(buffer, sizeof buffer, file.c_str()), 0u);
    EXPECT_EQ(std::string(buffer, 2), std::string("\0\0", 2));
    EXPECT_EQ(GetPrivateProfileString("FILE", "Name", nullptr, nullptr), "");
    EXPECT_FALSE(std::filesystem::exists(file)) << "reading must not create the file";

    ASSERT_EQ(WritePrivateProfileString("FILE", "SaveDefExtIndex", "3", file.c_str()), 1);
    ASSERT_EQ(WritePrivateProfileString("CONFIG", "ZoomFitMode", "1", file.c_str()), 1);
    EXPECT_EQ(IniTestFolder::Read(file), "[FILE]\nSaveDefExtIndex=3\n\n[CONFIG]\nZoomFitMode=1\n");
    EXPECT_EQ(GetPrivateProfileInt("file", "savedefextindex", -1, file.c_str()), 3);

    EXPECT_EQ(WritePrivateProfileString("FILE", "k", "v", folder.File("none/x.ini").c_str()), 0);
    EXPECT_EQ(WritePrivateProfileString("FILE", "k", "v", nullptr), 0);
}

TEST(PrivateProfile, WritesKeepEveryLineTheyDoNotChange)
{
    IniTestFolder folder;
    const std::string file = folder.File("driver.ini");
    IniTestFolder::Write(file,
                         "\xEF\xBB\xBF; resolution table\r\n"
                         "[Camera]\r\n"
                         "  Resolution = 2   \r\n"
                         "junk without equals\r\n"
                         "Resolution=shadowed\r\n"
                         "\r\n"
                         "; next part\r\n"
                         "[Other]\r\n"
                         "x=1\r\n");
    ASSERT_EQ(WritePrivateProfileString("CAMERA", "RESOLUTION", "5", file.c_str()), 1);
    ASSERT_EQ(WritePrivateProfileString("camera", "DllType", "7", file.c_str()), 1);
    ASSERT_EQ(WritePrivateProfileString("Other", "y", "", file.c_str()), 1);
    EXPECT_EQ(IniTestFolder::Read(file),
              "\xEF\xBB\xBF; resolution table\r\n"
              "[Camera]\r\n"
              "Resolution=5\r\n"             // the first match changes, keeping the name as it was written
              "junk without equals\r\n"
              "Resolution=shadowed\r\n"
              "DllType=7\r\n"                // a new key follows the section's last key
              "\r\n"
              "; next part\r\n"
              "[Other]\r\n"
              "x=1\r\n"
              "y=\r\n");
}

TEST(PrivateProfile, AWriteChangesOnlyTheLineItWritesDownToTheByte)
{
    // "[e" with a stray CR before its break is a section named "e\r", not "e": the real [e] follows. Breaks of
    // either kind, stray CRs, zero bytes and a last line without a break are kept as they were.
    using namespace std::string_literals;
    const std::string original = "[a]\n"
                                 "k=1\n"
                                 "[e\r\r\n"
                                 "k=2\n"
                                 "[e]\n"
                                 "k=3\r\n"
                                 "; odd \r bytes \0 kept\r\n"s
                                 "last line without a break";
    IniTestFolder folder;
    const std::string file = folder.File("bytes.ini");
    IniTestFolder::Write(file, original);
    ASSERT_EQ(GetPrivateProfileString("E", "k", "d", file.c_str()), "3");

    ASSERT_EQ(WritePrivateProfileString("a", "k", "9", file.c_str()), 1);
    std::string expected = original;
    expected.replace(expected.find("k=1"), 3, "k=9");
    EXPECT_EQ(IniTestFolder::Read(file), expected);
    EXPECT_EQ(GetPrivateProfileString("E", "k", "d", file.c_str()), "3") << "the first [e] must stay the real one";

    ASSERT_EQ(WritePrivateProfileString("e", "n", "4", file.c_str()), 1);
    expected.insert(expected.find("; odd"), "n=4\n");   // a new line takes the file's first break
    EXPECT_EQ(IniTestFolder::Read(file), expected);

    ASSERT_EQ(WritePrivateProfileString("New", "x", "5", file.c_str()), 1);
    expected += "\n\n[New]\nx=5\n";   // the cut-off last line gets its break once a line follows it
    EXPECT_EQ(IniTestFolder::Read(file), expected);
    EXPECT_EQ(GetPrivateProfileString("e", "k", "d", file.c_str()), "3");
}

TEST(PrivateProfile, ALastLineEndingInALoneCrKeepsItsNameWhenASectionIsAdded)
{
    // Without a line feed anywhere, "[O\r\r" is one line: a section named "O\r" (the last CR is its break).
    IniTestFolder folder;
    const std::string file = folder.File("cr.ini");
    IniTestFolder::Write(file, "[O\r\rk=1\r");
    ASSERT_EQ(WritePrivateProfileString("New", "x", "5", file.c_str()), 1);
    EXPECT_EQ(IniTestFolder::Read(file), "[O\r\rk=1\r\n\n[New]\nx=5\n");
    EXPECT_EQ(GetPrivateProfileString("New", "x", "d", file.c_str()), "5");
}

TEST(PrivateProfile, NullValueDeletesTheKeyAndNullKeyTheSection)
{
    IniTestFolder folder;
    const std::string file = folder.File("d.ini");
    const std::string original = "; top\n[A]\nk=1\nK=2\nj=3\n; a's comment\n\n[B]\nk=4\n[A]\nk=5\n";
    struct Case { const char* section; const char* key; const char* after; };
    const Case cases[] = {
        {"a", "K", "; top\n[A]\nK=2\nj=3\n; a's comment\n\n[B]\nk=4\n[A]\nk=5\n"},   // only the first match goes
        {"a", "missing", "; top\n[A]\nk=1\nK=2\nj=3\n; a's comment\n\n[B]\nk=4\n[A]\nk=5\n"},
        {"a", nullptr, "; top\n[B]\nk=4\n[A]\nk=5\n"},            // the section and every line in it
        {"missing", nullptr, "; top\n[A]\nk=1\nK=2\nj=3\n; a's comment\n\n[B]\nk=4\n[A]\nk=5\n"},
    };
    for (const Case& c : cases) {
        IniTestFolder::Write(file, original);
        EXPECT_EQ(WritePrivateProfileString(c.section, c.key, nullptr, file.c_str()), 1);
        EXPECT_EQ(IniTestFolder::Read(file), c.after) << c.section << "/" << (c.key ? c.key : "(null)");
    }
    IniTestFolder::Write(file, original);
    WritePrivateProfileString("A", nullptr, nullptr, file.c_str());
    EXPECT_EQ(GetPrivateProfileInt("A", "k", -1, file.c_str()), 5) << "the next section of that name shows";
}

TEST(PrivateProfile, RefusesTextsThatWouldBreakTheLineStructure)
{
    IniTestFolder folder;
    const std::string file = folder.File("safe.ini");
    IniTestFolder::Write(file, "[S]\nk=v\n");
    struct Case { const char* section; const char* key; const char* value; };
    const Case cases[] = {
        {"S", "k", "two\nlines"}, {"S", "k", "cr\r"}, {"S", "a=b", "v"}, {"S]", "k", "v"}, {"S\n[T", "k", "v"},
        {nullptr, "k", "v"},
        {"S", "[T", "v"}, {"S", " [T]", "v"},   // would be read as a section header
        {"S", ";k", "v"}, {"S", "\t;k", "v"},   // would be read as a comment, never found again
    };
    for (const Case& c : cases)
        EXPECT_EQ(WritePrivateProfileString(c.section, c.key, c.value, file.c_str()), 0);
    EXPECT_EQ(WritePrivateProfileSection("S", "a=1\0[T]\0", file.c_str()), 0);
    EXPECT_EQ(IniTestFolder::Read(file), "[S]\nk=v\n");
}

TEST(PrivateProfile, NamesAreTrimmedOnWritesAndLookups)
{
    IniTestFolder folder;
    const std::string file = folder.File("trim.ini");
    IniTestFolder::Write(file, "[S]\nk=1\n");
    // Each write must land where a lookup of the trimmed names finds it, and a second write must change it.
    struct Case { const char* section; const char* key; const char* lookupSection; const char* lookupKey; };
    const Case cases[] = {
        {"S", " k ", "S", "k"}, {" S\t", "k", "s", "K"}, {" New ", " n ", "NEW", "n"}, {"S", "k", " S ", "\tk "},
    };
    for (const Case& c : cases) {
        for (const char* value : {"first", "second"}) {
            ASSERT_EQ(WritePrivateProfileString(c.section, c.key, value, file.c_str()), 1);
            EXPECT_EQ(GetPrivateProfileString(c.lookupSection, c.lookupKey, "d", file.c_str()), value)
                << "[" << c.section << "] " << c.key;
        }
    }
    EXPECT_EQ(IniTestFolder::Read(file), "[S]\nk=second\n\n[New]\nn=second\n");
    ASSERT_EQ(WritePrivateProfileString(" s ", " K ", nullptr, file.c_str()), 1);
    ASSERT_EQ(WritePrivateProfileString(" new ", nullptr, nullptr, file.c_str()), 1);
    EXPECT_EQ(IniTestFolder::Read(file), "[S]\n\n");
}

TEST(PrivateProfile, SectionWritesReplaceTheWholeSection)
{
    IniTestFolder folder;
    const std::string file = folder.File("s.ini");
    IniTestFolder::Write(file, "[A]\nold=1\n; old note\n\n[B]\nb=2\n");
    ASSERT_EQ(WritePrivateProfileSection("a", "x=1\0y = 2\0", file.c_str()), 1);
    ASSERT_EQ(WritePrivateProfileSection("C", "z=3\0", file.c_str()), 1);
    EXPECT_EQ(IniTestFolder::Read(file), "[A]\nx=1\ny = 2\n[B]\nb=2\n\n[C]\nz=3\n");
    EXPECT_EQ(GetPrivateProfileInt("A", "Y", 0, file.c_str()), 2);
    ASSERT_EQ(WritePrivateProfileSection("B", nullptr, file.c_str()), 1);
    EXPECT_EQ(IniTestFolder::Read(file), "[A]\nx=1\ny = 2\n[C]\nz=3\n");
}

namespace {

// "<prefix><writer>_<index>". Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) on "k" + text.
std::string WriterKey(const char* prefix, int writer, int index)
{
    std::string key = prefix;
    key += std::to_string(writer);
    key += '_';
    key += std::to_string(index);
    return key;
}

}  // namespace

TEST(PrivateProfile, ConcurrentWritersLoseNoKey)
{
    IniTestFolder folder;
    const std::string file = folder.File("threads.ini");
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&file, t] {
            for (int i = 0; i < 25; ++i)
                WritePrivateProfileString("T", WriterKey("k", t, i).c_str(),
                                          std::to_string(i).c_str(), file.c_str());
        });
    for (std::thread& w : writers)
        w.join();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 25; ++i)
            EXPECT_EQ(GetPrivateProfileInt("T", WriterKey("k", t, i).c_str(), -1,
                                           file.c_str()), i);
}

TEST(PrivateProfile, FilesAWriteFailedOnAreListedOnceUntilTaken)
{
    IniTestFolder folder;
    TakeFailedPrivateProfileWrites();
    const std::string fifo = folder.File("fifo.ini");          // cannot be read: never replaced
    const std::string missingFolder = folder.File("no/such/folder.ini");
    const std::string good = folder.File("good.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    EXPECT_EQ(WritePrivateProfileString("S", "k", "v", fifo.c_str()), 0);
    EXPECT_EQ(WritePrivateProfileSection("S", "k=v\0", missingFolder.c_str()), 0);
    EXPECT_EQ(WritePrivateProfileString("S", "k", "v", fifo.c_str()), 0);
    EXPECT_EQ(WritePrivateProfileString("S", "k", "v", good.c_str()), 1);
    EXPECT_EQ(WritePrivateProfileString("S", "k", "line\nbreak", good.c_str()), 0) << "a refused text";
    EXPECT_EQ(TakeFailedPrivateProfileWrites(), (std::vector<std::string>{fifo, missingFolder}));
    EXPECT_TRUE(TakeFailedPrivateProfileWrites().empty());
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}
