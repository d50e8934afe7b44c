#include "winmsg/NamedMapping.h"

#include "winmsg/PeerFolder.h"

#include <QCryptographicHash>

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// A shared-memory name is one path component: NAME_MAX bytes.
constexpr size_t kMaxObjectName = 255;

// Only an object of this user that no one else may open can be trusted with what we hand over or act on.
bool IsPrivateObject(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

}  // namespace

std::string NamedMapping::ObjectName(const std::string& name)
{
    // Programs that find each other on the message bus share a runtime folder; the same folder names the same
    // mappings, and two sessions of one user (or two test runs) never meet in each other's memory. The user's id
    // keeps users apart without a secret their companions would have to find.
    const QByteArray session =
        QCryptographicHash::hash(PeerFolder().toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    const std::string prefix = "/qrx-" + std::to_string(::geteuid()) + "-" + session.toStdString() + "-";
    static const char kHex[] = "0123456789ABCDEF";
    std::string object = prefix;
    for (const unsigned char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                           c == '_' || c == '-';
        if (plain) {
            object += static_cast<char>(c);
        } else {
            object += '%';
            object += kHex[c >> 4];
            object += kHex[c & 15];
        }
    }
    if (object.size() > kMaxObjectName) {
        // '#' is never produced by the encoding above, so a hashed name cannot equal an encoded one.
        const QByteArray hash =
            QCryptographicHash::hash(QByteArray::fromStdString(name), QCryptographicHash::Sha256).toHex();
        object = prefix + "#" + hash.toStdString();
    }
    return object;
}

NamedMapping::~NamedMapping()
{
    Close();
}

NamedMapping::NamedMapping(NamedMapping&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)), m_size(std::exchange(other.m_size, 0)),
      m_writable(std::exchange(other.m_writable, false)), m_objectName(std::move(other.m_objectName)),
      m_created(std::exchange(other.m_created, false)), m_existed(std::exchange(other.m_existed, false))
{
}

NamedMapping& NamedMapping::operator=(NamedMapping&& other) noexcept
{
    if (this != &other) {
        Close();
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_size = std::exchange(other.m_size, 0);
        m_writable = std::exchange(other.m_writable, false);
        m_objectName = std::move(other.m_objectName);
        m_created = std::exchange(other.m_created, false);
        m_existed = std::exchange(other.m_existed, false);
    }
    return *this;
}

bool NamedMapping::Adopt(int descriptor, size_t minimumSize, bool writable)
{
    struct stat info = {};
    if (descriptor < 0)
        return false;
    if (::fstat(descriptor, &info) != 0 || !IsPrivateObject(info) || info.st_size <= 0
        || static_cast<size_t>(info.st_size) < minimumSize) {
        ::close(descriptor);
        return false;
    }
    m_descriptor = descriptor;
    m_size = static_cast<size_t>(info.st_size);
    m_writable = writable;
    return true;
}

bool NamedMapping::Create(const std::string& name, size_t size)
{
    Close();
    if (name.empty() || size == 0)
        return false;
    const std::string object = ObjectName(name);
    const int created = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (created < 0) {
        if (errno != EEXIST || !Open(name, size, true))
            return false;
        m_existed = true;
        return true;
    }
    if (::ftruncate(created, static_cast<off_t>(size)) != 0) {
        ::close(created);
        ::shm_unlink(object.c_str());
        return false;
    }
    if (!Adopt(created, size, true)) {  // closes the descriptor
        ::shm_unlink(object.c_str());
        return false;
    }
    m_objectName = object;
    m_created = true;
    return true;
}

bool NamedMapping::Open(const std::string& name, size_t minimumSize, bool writable)
{
    Close();
    if (name.empty())
        return false;
    return Adopt(::shm_open(ObjectName(name).c_str(), writable ? O_RDWR : O_RDONLY, 0), minimumSize, writable);
}

bool NamedMapping::Read(size_t offset, void* bytes, size_t count) const
{
    if (m_descriptor < 0)
        return false;
    auto* out = static_cast<char*>(bytes);
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(m_descriptor, out + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;  // the object ends before the bytes asked for: a peer made it smaller
        done += static_cast<size_t>(got);
    }
    return true;
}

std::string NamedMapping::ReadPrefix(size_t count) const
{
    std::string bytes(count, '\0');
    if (m_descriptor < 0)
        return {};
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(m_descriptor, bytes.data() + done, count - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

bool NamedMapping::Write(size_t offset, const void* bytes, size_t count)
{
    struct stat info = {};
    // Writing past the end would grow a peer's object behind its back: only what lies within it now is written.
    if (m_descriptor < 0 || !m_writable || ::fstat(m_descriptor, &info) != 0 || info.st_size < 0
        || offset > static_cast<size_t>(info.st_size) || count > static_cast<size_t>(info.st_size) - offset)
        return false;
    const auto* in = static_cast<const char*>(bytes);
    size_t done = 0;
    while (done < count) {
        const ssize_t put = ::pwrite(m_descriptor, in + done, count - done, static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

void NamedMapping::Close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    if (m_created)
        ::shm_unlink(m_objectName.c_str());
    m_descriptor = -1;
    m_size = 0;
    m_writable = false;
    m_objectName.clear();
    m_created = false;
    m_existed = false;
}
