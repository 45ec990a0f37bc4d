// Which keywords the keyword list may already hold, for adding many keywords at once. The list's
// own search looks through every row for each keyword (thousands of words take seconds under
// Wine); this index answers at once when no row can match, and leaves every other answer to
// that search. So it must never miss a row the search would find: keys are the platform's sort
// keys without regard to case, equal exactly when the list's comparison finds the texts equal.
#pragma once

#include <string>
#include <unordered_set>

namespace ruk {

class TKeywordRowIndex {
public:
    // Captions of this many characters or more are not indexed: the list compares only the
    // first few hundred characters of a row, so such a caption turns the index off.
    static constexpr size_t kLongCaption = 256;

    void Add(const std::string& caption);
    // false only when no row's caption can equal keyword in the list's comparison.
    bool MayHold(const std::string& keyword) const;

private:
    static std::string Key(const std::string& text);
    std::unordered_set<std::string> FKeys;
    bool FOff = false;
};

}  // namespace ruk
