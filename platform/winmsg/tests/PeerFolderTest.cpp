#include "winmsg/PeerFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Points XDG_RUNTIME_DIR and TMPDIR where the test says, and puts both back afterwards.
class Environment
{
public:
    Environment() : m_runtime(qgetenv("XDG_RUNTIME_DIR")), m_temp(qgetenv("TMPDIR")) {}
    ~Environment()
    {
        Restore("XDG_RUNTIME_DIR", m_runtime);
        Restore("TMPDIR", m_temp);
    }

private:
    static void Restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QByteArray m_runtime;
    QByteArray m_temp;
};

mode_t ModeOf(const QString& path)
{
    struct stat info = {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

}  // namespace

// Anyone who could enter the folder could pose as any program, so it is the user's alone or not used at all.
TEST(PeerFolder, FolderIsTheUsersAlone)
{
    const Environment restore;
    QTemporaryDir scratch;
    qputenv("XDG_RUNTIME_DIR", scratch.path().toLocal8Bit());
    const QString folder = PeerFolder();
    EXPECT_EQ(folder, scratch.path() + "/qrx-peers");
    EXPECT_EQ(ModeOf(folder), 0700u);

    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup | QFile::ExeOther));
    EXPECT_EQ(PeerFolder(), folder);
    EXPECT_EQ(ModeOf(folder), 0700u) << "an existing folder open to others is closed";

    // Without a runtime folder: one named for the user in the temporary folder.
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", scratch.path().toLocal8Bit());
    EXPECT_EQ(PeerFolder(), scratch.path() + "/qrx-peers-" + QString::number(::geteuid()));

    // A link planted in its place is never followed.
    QTemporaryDir elsewhere;
    const QString planted = scratch.path() + "/qrx-peers-" + QString::number(::geteuid());
    ASSERT_TRUE(QDir(planted).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.path(), planted));
    EXPECT_TRUE(PeerFolder().isEmpty());
    EXPECT_TRUE(PeerSocketPath("Video Recorder").isEmpty());
}
