// The occurrence counter of the fast stages: the counts of many words in one text, in one
// pass over the text.
#pragma once

#include "RUKFastHash.h"

#include <string>
#include <vector>

namespace ruk::fast {

// For each of the distinct words, its counted occurrences in text (see the counter), or -1
// for a word of no bytes or one not shorter than the text, and for every word when the text
// has fewer than two bytes.
std::vector<int> CountOccurrences(const std::string& text, const TDistinctTexts& words);

}  // namespace ruk::fast
