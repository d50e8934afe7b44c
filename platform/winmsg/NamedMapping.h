// Named shared memory between programs of this user, in place of named file mappings: a POSIX shared-memory
// object "/qrx-<uid>-<session>-<name>" (the user's id, the session a tag of the message bus's runtime folder, the
// name's bytes outside [A-Za-z0-9._-] percent-encoded, long names hashed). Created 0600.
//
// Trust: shared-memory names are machine-wide and anyone may create any name first. An object is used only when it
// belongs to this user and no one else may open it (owner and mode checked on the open descriptor); any other
// object under our name is refused, never read or written. The user's id in the name keeps two users' programs from
// meeting in the normal case; the check is what keeps a squatter out.
//
// Access: bytes are read and written through the descriptor (pread/pwrite), never through a memory map, so a peer
// that shrinks the object while we use it makes a read fail rather than fault: every Read checks what it got.
//
// Lifetime: the name exists while its creator keeps the object open; the creator's Close removes the name, and
// objects other programs opened stay valid until they close them. Move-only; not thread-safe per object.
#pragma once

#include "types/VistrelExport.h"

#include <cstddef>
#include <string>

class VISTREL_EXPORT NamedMapping
{
public:
    NamedMapping() = default;
    ~NamedMapping();
    NamedMapping(NamedMapping&& other) noexcept;
    NamedMapping& operator=(NamedMapping&& other) noexcept;
    NamedMapping(const NamedMapping&) = delete;
    NamedMapping& operator=(const NamedMapping&) = delete;

    // Creates `name` with `size` zero bytes, open for reading and writing. When the name exists already it is
    // opened instead (AlreadyExisted() tells), which fails when it is smaller than `size` or is not this user's
    // private object. False for an empty name or size 0.
    bool Create(const std::string& name, size_t size);
    // Opens an existing `name`; false when it does not exist, is not this user's private object or holds fewer than
    // `minimumSize` bytes (or none).
    bool Open(const std::string& name, size_t minimumSize = 0, bool writable = false);
    void Close();

    bool IsOpen() const { return m_descriptor >= 0; }
    bool AlreadyExisted() const { return m_existed; }
    // The size when it was created or opened; a peer may have changed it since.
    size_t size() const { return m_size; }

    // Exactly `count` bytes at `offset`; false when the object no longer holds them all.
    bool Read(size_t offset, void* bytes, size_t count) const;
    // Up to `count` bytes from the start: fewer when the object is smaller now.
    std::string ReadPrefix(size_t count) const;
    // Writes `count` bytes at `offset`; false when they do not lie within the object as it is now or it was opened
    // for reading only.
    bool Write(size_t offset, const void* bytes, size_t count);

    // The shared-memory object name a mapping name uses.
    static std::string ObjectName(const std::string& name);

private:
    bool Adopt(int descriptor, size_t minimumSize, bool writable);

    int m_descriptor = -1;
    size_t m_size = 0;
    bool m_writable = false;
    std::string m_objectName;  // unlinked on Close when this object created it
    bool m_created = false;
    bool m_existed = false;
};
