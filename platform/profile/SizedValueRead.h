// A value read in two steps, its size first and then its bytes, for callers that do not know the size. Another
// thread or process may grow the value between the steps; the read is then retried, a bounded number of times, so
// a value that keeps growing ends in ERROR_MORE_DATA instead of a hang. Private to platform/profile.
#pragma once

#include "profile/Registry.h"

#include <vector>

constexpr int kSizedReadAttempts = 8;

// `query(data, size)` reads the one value as RegQueryValueEx does (a null `data` asks for the size only). On
// success `bytes` holds the value; on failure it is empty.
template <class Query> LONG ReadSizedValue(Query query, std::vector<BYTE>& bytes)
{
    LONG result = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < kSizedReadAttempts && result == ERROR_MORE_DATA; ++attempt) {
        DWORD size = 0;
        result = query(nullptr, &size);
        if (result != ERROR_SUCCESS)
            break;
        bytes.resize(size);
        result = query(bytes.data(), &size);
        if (result == ERROR_SUCCESS) {
            bytes.resize(size);
            return result;
        }
    }
    bytes.clear();
    return result;
}
