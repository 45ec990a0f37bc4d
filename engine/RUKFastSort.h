// The sorted word list of the fast stages: the distinct texts in the order of the list's
// comparison, by the system's sort keys, on a few threads at once for large lists.
#pragma once

#include "RUKFastHash.h"

#include <string>
#include <vector>

namespace ruk::fast {

// The entries that adding the texts one by one, in this order, to an empty sorted list that
// ignores duplicates leaves: of each set of texts that compare equal the first one, in the
// list's order.
std::vector<std::string> SortedFirstSpellings(const TDistinctTexts& distinct);

}  // namespace ruk::fast
