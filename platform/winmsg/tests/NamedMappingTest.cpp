#include "winmsg/NamedMapping.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

namespace {

// Shared-memory names are machine-wide: each test process uses names of its own.
std::string Unique(const std::string& name)
{
    return name + " " + std::to_string(::getpid());
}

}  // namespace

TEST(NamedMapping, ObjectNamesKeepNamesAndSessionsApart)
{
    const std::string upp = NamedMapping::ObjectName("TLV UPP");
    ASSERT_EQ(upp.rfind("/qrx-", 0), 0u);
    const std::string session = upp.substr(0, upp.find('-', 5) + 1);  // "/qrx-<session>-"
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
    EXPECT_EQ(elsewhere.substr(elsewhere.find('-', 5) + 1), "TLV%20UPP");
}

TEST(NamedMapping, WhatTheCreatorWritesAnOpenerReads)
{
    const std::string name = Unique("TLV Image Path");
    NamedMapping creator;
    ASSERT_TRUE(creator.Create(name, 4096));
    EXPECT_FALSE(creator.AlreadyExisted());
    ASSERT_EQ(creator.size(), 4096u);
    EXPECT_EQ(static_cast<const char*>(creator.data())[4095], 0) << "created zeroed";
    std::strcpy(static_cast<char*>(creator.data()), "/images/a.jpg");

    NamedMapping reader;
    ASSERT_TRUE(reader.Open(name, 4096));
    EXPECT_STREQ(static_cast<const char*>(reader.data()), "/images/a.jpg");

    NamedMapping writer;
    ASSERT_TRUE(writer.Create(name, 128));
    EXPECT_TRUE(writer.AlreadyExisted());
    static_cast<char*>(writer.data())[0] = '#';
    EXPECT_EQ(static_cast<const char*>(reader.data())[0], '#');

    NamedMapping moved = std::move(creator);
    EXPECT_FALSE(creator.IsOpen());
    moved.Close();
    EXPECT_FALSE(NamedMapping().Open(name)) << "the creator's close removes the name";
    EXPECT_EQ(static_cast<const char*>(reader.data())[1], 'i') << "a view opened before stays valid";
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
