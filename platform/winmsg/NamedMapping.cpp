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

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

std::string NamedMapping::ObjectName(const std::string& name)
{
    // Programs that find each other on the message bus share a runtime folder; the same folder names the same
    // mappings, and two sessions of one user (or two test runs) never meet in each other's memory.
    const QByteArray session =
        QCryptographicHash::hash(PeerFolder().toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    const std::string prefix = "/qrx-" + session.toStdString() + "-";
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
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_objectName(std::move(other.m_objectName)), m_created(std::exchange(other.m_created, false)),
      m_existed(std::exchange(other.m_existed, false))
{
}

NamedMapping& NamedMapping::operator=(NamedMapping&& other) noexcept
{
    if (this != &other) {
        Close();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_objectName = std::move(other.m_objectName);
        m_created = std::exchange(other.m_created, false);
        m_existed = std::exchange(other.m_existed, false);
    }
    return *this;
}

bool NamedMapping::Map(int descriptor, size_t size, bool writable)
{
    void* data = ::mmap(nullptr, size, writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, descriptor, 0);
    if (data == MAP_FAILED)
        return false;
    m_data = data;
    m_size = size;
    return true;
}

bool NamedMapping::Create(const std::string& name, size_t size)
{
    Close();
    if (name.empty() || size == 0)
        return false;
    const std::string object = ObjectName(name);
    const Descriptor created(::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600));
    if (created.get() < 0) {
        if (errno != EEXIST || !Open(name, size, true))
            return false;
        m_existed = true;
        return true;
    }
    if (::ftruncate(created.get(), static_cast<off_t>(size)) != 0 || !Map(created.get(), size, true)) {
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
    const Descriptor opened(::shm_open(ObjectName(name).c_str(), writable ? O_RDWR : O_RDONLY, 0));
    struct stat info = {};
    if (opened.get() < 0 || ::fstat(opened.get(), &info) != 0 || info.st_size <= 0)
        return false;
    const auto size = static_cast<size_t>(info.st_size);
    return size >= minimumSize && Map(opened.get(), size, writable);
}

void NamedMapping::Close()
{
    if (m_data)
        ::munmap(m_data, m_size);
    if (m_created)
        ::shm_unlink(m_objectName.c_str());
    m_data = nullptr;
    m_size = 0;
    m_objectName.clear();
    m_created = false;
    m_existed = false;
}
