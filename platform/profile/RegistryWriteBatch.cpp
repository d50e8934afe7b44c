#include "profile/RegistryWriteBatch.h"

#include "profile/RegistryStore.h"

RegistryWriteBatch::RegistryWriteBatch()
{
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    store.BeginBatch();
}

RegistryWriteBatch::~RegistryWriteBatch()
{
    RegistryStore& store = RegistryStore::Instance();
    const auto lock = store.Lock();
    store.EndBatch();
}
