// Named shared memory between programs of this user, in place of named file mappings: a POSIX shared-memory
// object "/qrx-<session>-<name>" (the session a tag of the message bus's runtime folder, the name's bytes outside
// [A-Za-z0-9._-] percent-encoded, long names hashed), mapped on open, unmapped on close. Created 0600.
//
// Lifetime: the name exists while its creator keeps the mapping open; the creator's Close removes the name, and
// mappings other programs opened stay valid until they close them. An object smaller than asked for is never
// mapped beyond its end (that would fault on access): Open fails instead. Move-only; not thread-safe per object.
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

    // Creates `name` with `size` zero bytes and maps it for reading and writing. When the name exists already
    // it is opened instead (AlreadyExisted() tells), which fails when it is smaller than `size`. False for an empty
    // name or size 0.
    bool Create(const std::string& name, size_t size);
    // Opens an existing `name` and maps all of it; false when it does not exist or holds fewer than `minimumSize`
    // bytes (or none).
    bool Open(const std::string& name, size_t minimumSize = 0, bool writable = false);
    void Close();

    bool IsOpen() const { return m_data != nullptr; }
    bool AlreadyExisted() const { return m_existed; }
    void* data() const { return m_data; }
    size_t size() const { return m_size; }

    // The shared-memory object name a mapping name uses.
    static std::string ObjectName(const std::string& name);

private:
    bool Map(int descriptor, size_t size, bool writable);

    void* m_data = nullptr;
    size_t m_size = 0;
    std::string m_objectName;  // unlinked on Close when this object created it
    bool m_created = false;
    bool m_existed = false;
};
