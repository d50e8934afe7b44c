// Gathers the registry changes of one piece of work (a settings save) into one write of the store file. While a
// batch is open, changes made through any call on any thread are visible at once, and the file is written when the
// outermost batch ends, atomically (temporary file + rename) and only when something changed; RegFlushKey writes
// sooner. However a batch's scope ends, an exception included, what was changed is written: a batch only defers
// the writing and never changes what is stored. Batches nest and may be opened on any thread.
//
// While a batch is open the store's file lock is held, so other processes' writes wait for it: keep a batch short,
// and never wait inside one for another process that writes the store. A crash inside a batch loses its changes.
#pragma once

#include "types/VistrelExport.h"

class VISTREL_EXPORT RegistryWriteBatch
{
public:
    RegistryWriteBatch();
    ~RegistryWriteBatch();
    RegistryWriteBatch(const RegistryWriteBatch&) = delete;
    RegistryWriteBatch& operator=(const RegistryWriteBatch&) = delete;
};
