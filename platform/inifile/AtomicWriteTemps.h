// The temporary files of WriteFileAtomically (FileBytes.h): "<file>.tmp<pid>-<serial>" beside the file they
// replace, each locked (flock, exclusive) by its writer for as long as it writes. A write cut short (the program
// killed, the machine off) leaves its temporary file behind, as large as the file it was to become; the next
// atomic write of that file, and the program when it opens a document, take such leftovers away. Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <string>

// Removes the temporary files that interrupted atomic writes of `path` left beside it: those of the file's name
// and the pattern above that no writer holds locked, and whose writer is not a live process other than this one
// (a process still running an older writer, which took no lock, keeps its file). Returns how many were removed.
VISTREL_EXPORT int RemoveStaleAtomicWriteTemps(const std::string& path);

// The temporary name an atomic write of `path` by process `pid` uses for its write number `serial`.
VISTREL_EXPORT std::string AtomicWriteTempPath(const std::string& path, long pid, unsigned serial);
