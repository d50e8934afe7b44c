// The one way to read a file whose path came from outside (the user, a companion, a stored setting, the program
// folder): whole-file reads with a size limit, or a C stream opened the same way for field-by-field readers; and
// atomic whole-file writes of any file. A path is opened only when it names a regular file, decided on the opened
// descriptor itself (no check-then-open race): a FIFO with no writer would block, a device such as /dev/zero
// never ends. Any thread; the caller serialises writers of one path when it needs a read-modify-write to be atomic.
#pragma once

#include "types/VistrelExport.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

// The largest settings file read: far above any real one, it keeps a wrong path (a growing log, a disk image)
// from filling memory.
constexpr size_t kMaxSettingsFileBytes = size_t{64} << 20;

// The file's bytes into `bytes`; false (and `bytes` empty) when it cannot be opened or read, is not a regular file
// (a FIFO or device would block or never end) or holds more than kMaxSettingsFileBytes.
VISTREL_EXPORT bool ReadFileBytes(const std::string& path, std::string& bytes);
// The same with the caller's own limit, for files of other kinds than settings.
VISTREL_EXPORT bool ReadFileBytes(const std::string& path, std::string& bytes, size_t maxBytes);

// A stream ("rb") on the file, for readers that take it field by field; null when it cannot be opened, is not a
// regular file or holds more than `maxBytes` (errno then EISDIR or ENODEV for a folder or other non-file, EFBIG for
// the size, else the open's own code). The caller closes it. A file that grows after the open is the
// reader's to bound: its records' counts are checked against what is left anyway.
VISTREL_EXPORT FILE* OpenRegularFile(const std::string& path, size_t maxBytes = kMaxSettingsFileBytes);

// Writes a temporary file beside `path`, flushes it to disk and renames it over `path`, so a reader or a crash
// sees the old contents or the new ones, never a part. A new file gets mode 0666 less the umask, a replaced file
// keeps its mode. False when anything fails, errno then telling why (ENOSPC, EROFS, EACCES, ENOENT for a missing
// folder, ...; 0 when the caller's writer failed without a system error); `path` is then untouched and no
// temporary file is left behind. Temporary files that earlier writes of `path` left when they were cut short are
// removed first (AtomicWriteTemps.h).
VISTREL_EXPORT bool WriteFileAtomically(const std::string& path, std::string_view bytes);
// The same for a file written through a C stream: `write` gets the temporary file (opened "w+b") and says whether
// it wrote everything; the file replaces `path` only then. An exception from `write` removes the temporary file
// and goes on to the caller.
VISTREL_EXPORT bool WriteFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write);
