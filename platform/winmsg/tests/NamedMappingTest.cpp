#include "winmsg/NamedMapping.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Shared-memory names are machine-wide: each test process uses names of its own.
std::string Unique(const std::string& name)
{
    return name + " " + std::to_string(::getpid());
}

// Another program's hold on an object, as a companion or a squatter has it: its own descriptor.
class ForeignHold
{
public:
    explicit ForeignHold(const std::string& name, int flags = O_RDWR, mode_t mode = 0600)
        : m_fd(::shm_open(NamedMapping::ObjectName(name).c_str(), flags, mode))
    {
    }
    ~ForeignHold()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

TEST(NamedMapping, ObjectNamesKeepNamesUsersAndSessionsApart)
{
    const std::string upp = NamedMapping::ObjectName("TLV UPP");
    const std::string user = "/qrx-" + std::to_string(::geteuid()) + "-";
    ASSERT_EQ(upp.rfind(user, 0), 0u);
    const std::string session = upp.substr(0, upp.find('-', user.size()) + 1);  // "/qrx-<uid>-<session>-"
    EXPECT_EQ(upp, session + "TLV%20UPP");
    EXPECT_EQ(NamedMapping::ObjectName("TLV_UPP"), session + "TLV_UPP");
    EXPECT_EQ(NamedMapping::ObjectName("a/b%"), session + "a%2Fb%25");
    const std::string longName(300, 'x');
    const std::string hashed = NamedMapping::ObjectName(longName);
    EXPECT_LE(hashed.size(), 255u);
    EXPECT_NE(hashed, NamedMapping::ObjectName(longName + "y"));

    // Another runtime folder is another session: the same name is another object.
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    qputenv("XDG_RUNTIME_DIR", other.path().toUtf8());
    const std::string elsewhere = NamedMapping::ObjectName("TLV UPP");
    qputenv("XDG_RUNTIME_DIR", saved);
    EXPECT_NE(elsewhere, upp);
    EXPECT_EQ(elsewhere.substr(elsewhere.find('-', user.size()) + 1), "TLV%20UPP");
}

TEST(NamedMapping, WhatTheCreatorWritesAnOpenerReads)
{
    const std::string name = Unique("TLV Image Path");
    NamedMapping creator;
    ASSERT_TRUE(creator.Create(name, 4096));
    EXPECT_FALSE(creator.AlreadyExisted());
    ASSERT_EQ(creator.size(), 4096u);
    EXPECT_EQ(creator.ReadPrefix(4096), std::string(4096, '\0')) << "created zeroed";
    ASSERT_TRUE(creator.Write(0, "/images/a.jpg", 14));
    EXPECT_FALSE(creator.Write(4090, "123456789", 9)) << "beyond the end";

    NamedMapping reader;
    ASSERT_TRUE(reader.Open(name, 4096));
    EXPECT_STREQ(reader.ReadPrefix(32).c_str(), "/images/a.jpg");
    EXPECT_FALSE(reader.Write(0, "#", 1)) << "opened for reading";

    NamedMapping writer;
    ASSERT_TRUE(writer.Create(name, 128));
    EXPECT_TRUE(writer.AlreadyExisted());
    ASSERT_TRUE(writer.Write(0, "#", 1));
    char first = 0;
    ASSERT_TRUE(reader.Read(0, &first, 1));
    EXPECT_EQ(first, '#');

    // What a companion mapped into its memory sees the same bytes.
    const ForeignHold companion(name, O_RDONLY);
    ASSERT_GE(companion.get(), 0);
    void* view = ::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, companion.get(), 0);
    ASSERT_NE(view, MAP_FAILED);
    EXPECT_STREQ(static_cast<const char*>(view), "#images/a.jpg");
    ::munmap(view, 4096);

    NamedMapping moved = std::move(creator);
    EXPECT_FALSE(creator.IsOpen());
    moved.Close();
    EXPECT_FALSE(NamedMapping().Open(name)) << "the creator's close removes the name";
    char second = 0;
    ASSERT_TRUE(reader.Read(1, &second, 1)) << "an object opened before stays valid";
    EXPECT_EQ(second, 'i');
}

// Reading beyond a shared object's end faults; a mapping smaller than the reader needs is refused instead.
TEST(NamedMapping, MissingOrTooSmallIsAFailedOpen)
{
    NamedMapping mapping;
    EXPECT_FALSE(mapping.Open(Unique("TLV UPP")));
    EXPECT_FALSE(mapping.IsOpen());
    EXPECT_FALSE(mapping.Create("", 16));
    EXPECT_FALSE(mapping.Create(Unique("empty"), 0));

    NamedMapping small;
    ASSERT_TRUE(small.Create(Unique("TLV UPP"), 8));
    EXPECT_FALSE(mapping.Open(Unique("TLV UPP"), 128));
    EXPECT_FALSE(NamedMapping().Create(Unique("TLV UPP"), 128));
    ASSERT_TRUE(mapping.Open(Unique("TLV UPP"), 8));
    EXPECT_EQ(mapping.size(), 8u);
}

// Shared-memory names are open to every user: an object someone else made first under our name, or one others may
// open, is never handed our data nor believed.
TEST(NamedMapping, AnObjectNotPrivateToThisUserIsRefused)
{
    const struct
    {
        const char* what;
        bool otherOwner;
        mode_t mode;
    } cases[] = {
        {"another user's object", true, 0600},
        {"readable by others", false, 0644},
        {"writable by the group", false, 0620},
    };
    for (const auto& c : cases) {
        const std::string name = Unique("TLV Image Path");
        const ForeignHold squatter(name, O_RDWR | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(squatter.get(), 0) << c.what;
        ASSERT_EQ(::ftruncate(squatter.get(), 4096), 0);
        ASSERT_EQ(::pwrite(squatter.get(), "/planted.jpg", 13, 0), 13);
        ASSERT_EQ(::fchmod(squatter.get(), c.mode), 0);
        if (c.otherOwner && ::fchown(squatter.get(), 65534, 65534) != 0) {
            ::shm_unlink(NamedMapping::ObjectName(name).c_str());
            continue;  // only a privileged test run can hand an object to another user
        }
        NamedMapping mapping;
        EXPECT_FALSE(mapping.Open(name, 1)) << c.what;
        EXPECT_FALSE(mapping.Open(name, 1, true)) << c.what;
        EXPECT_FALSE(mapping.Create(name, 4096)) << c.what;
        EXPECT_FALSE(mapping.IsOpen()) << c.what;
        ::shm_unlink(NamedMapping::ObjectName(name).c_str());
    }
}

// A companion may shrink an object at any moment; what is no longer there reads as missing, never as a fault.
TEST(NamedMapping, AnObjectShrunkByAPeerReadsAsMissing)
{
    const std::string name = Unique("TLV UPP");
    NamedMapping creator;
    ASSERT_TRUE(creator.Create(name, 128));
    const double upp = 0.25;
    ASSERT_TRUE(creator.Write(0, &upp, sizeof upp));
    NamedMapping reader;
    ASSERT_TRUE(reader.Open(name, sizeof upp));

    const ForeignHold companion(name);
    ASSERT_GE(companion.get(), 0);
    ASSERT_EQ(::ftruncate(companion.get(), 4), 0);
    double seen = 0;
    EXPECT_FALSE(reader.Read(0, &seen, sizeof seen));
    EXPECT_EQ(reader.ReadPrefix(128).size(), 4u);
    EXPECT_FALSE(creator.Write(0, &upp, sizeof upp));
    ASSERT_EQ(::ftruncate(companion.get(), 0), 0);
    EXPECT_TRUE(reader.ReadPrefix(128).empty());

    ASSERT_EQ(::ftruncate(companion.get(), 128), 0);
    ASSERT_TRUE(creator.Write(0, &upp, sizeof upp));
    ASSERT_TRUE(reader.Read(0, &seen, sizeof seen));
    EXPECT_EQ(seen, 0.25);
}
