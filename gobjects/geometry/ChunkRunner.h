// Work split into numbered chunks, run on the calling thread and on helper threads of a pool that outlives the
// call: the edge tools convert and scan camera pictures on every finish, and starting threads each time costs
// more than the work. Safe on any thread; chunks must not depend on one another.
#pragma once

#include <functional>

// Runs work(chunk) once for every chunk in [0, chunks) and returns when all are done. The caller takes chunks
// itself, so a busy pool means fewer hands, never a longer wait than for chunks a helper has already begun. At
// most `maxHelpers` helpers join in; 0 runs everything on the calling thread.
void RunChunks(int chunks, int maxHelpers, const std::function<void(int chunk)>& work);
