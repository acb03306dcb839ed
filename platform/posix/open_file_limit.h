// How many descriptors the process may hold open at once.
#pragma once

#include <cstddef>

// The soft limit on open descriptors, first raised towards the hard one
// (up to `wanted`; the hard limit itself is never raised). The soft limit's
// usual 1,024 only protects programs that hand descriptors to select(), which
// nothing here does; a crawl keeps a descriptor open for each folder of the
// mirror it writes into, and a mirror easily has more folders than that.
// Answers the limit in force when it cannot be raised.
std::size_t RaiseOpenFileLimit(std::size_t wanted);
