// The fast auto-find against the control's own search of every keyword over the whole text:
// generated texts and keyword lists built to meet the corners of whole words and case
// (punctuation at a keyword's ends, letters of the code page beyond ASCII, repeated
// characters, line breaks, the very end of the text), and a real document.
#include "Form.h"
#include "RUKAutoFind.h"
#include "XorShiftRandom.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace ruk;

namespace {

struct EditOnForm {
    TForm* Form = new TForm(nullptr);
    TRichEdit* Edit = new TRichEdit(Form);
    EditOnForm() {
        Edit->SetBounds(0, 0, 400, 300);
        Edit->SetParent(Form);
        Form->Show();
    }
    ~EditOnForm() { Form->Free(); }
};

// Pieces of the generated texts: letters in both cases, ASCII and Windows-1252 (é É ß ÿ Ÿ
// š Š œ Œ), digits, punctuation, blanks and line breaks.
const char* const kPieces[] = {"a", "b", "A", "B", "ab", "ba", "aa", "\xE9", "\xC9", "\xDF", "\xFF", "\x9F",
                               "\x9A", "\x8A", "\x9C", "\x8C", "1", "-", ".", "'", "_", " ", " ", " ",
                               "\t", "\r\n", "c", "C", "cat"};

std::string MakeText(ruk::test::TRandom& random, int pieces) {
    std::string text;
    for (int i = 0; i < pieces; ++i) text += random.Pick(kPieces);
    return text;
}

// Keywords: pieces of the text itself (the case of some letters changed), made-up words of
// the same pieces, and a few fixed ones.
std::vector<std::string> MakeKeywords(ruk::test::TRandom& random, const std::string& text, int count) {
    std::vector<std::string> keywords = {"", "a", "A", "cat", "-a", "a-", "\xE9", "\xC9"};
    while (static_cast<int>(keywords.size()) < count) {
        std::string k;
        if (random.Chance(60) && text.size() > 2) {
            const int start = random.Below(static_cast<int>(text.size()) - 1);
            const int length = 1 + random.Below(std::min<int>(8, static_cast<int>(text.size()) - start));
            k = text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
            // The control keeps a line break as one CR: a keyword with CR LF is never found,
            // one with a lone CR may be.
            for (char& c : k)
                if (random.Chance(20)) CharUpperBuffA(&c, 1);
        } else {
            k = MakeText(random, 1 + random.Below(3));
        }
        keywords.push_back(k);
    }
    return keywords;
}

std::string Describe(const std::vector<std::string>& keywords, const std::vector<bool>& literal,
                     const std::vector<bool>& fast) {
    std::ostringstream out;
    for (size_t k = 0; k < keywords.size(); ++k)
        if (literal[k] != fast[k]) out << "[" << keywords[k] << "] literal " << literal[k] << " fast " << fast[k] << "\n";
    return out.str();
}

}  // namespace

TEST(AutoFindDifferential, GeneratedTextsAndKeywordsGiveTheControlsOwnAnswers) {
    EditOnForm f;
    int cases = 0, foundTotal = 0, keywordsTotal = 0;
    for (uint64_t seed = 1; seed <= 300; ++seed) {
        ruk::test::TRandom random(seed);
        const std::string text = MakeText(random, 5 + random.Below(seed % 10 == 0 ? 3000 : 300));
        f.Edit->SetText(text);
        const std::vector<std::string> keywords = MakeKeywords(random, text, 40);
        const std::vector<bool> literal = AutoFindKeywordsLiteral(*f.Edit, keywords);
        const std::vector<bool> fast = AutoFindKeywords(*f.Edit, keywords);
        ASSERT_EQ(fast, literal) << "seed " << seed << "\n" << Describe(keywords, literal, fast);
        ++cases;
        keywordsTotal += static_cast<int>(keywords.size());
        for (bool b : literal) foundTotal += b ? 1 : 0;
    }
    // Both answers occur often enough to mean something.
    EXPECT_GT(foundTotal, keywordsTotal / 10);
    EXPECT_LT(foundTotal, keywordsTotal * 9 / 10);
    EXPECT_EQ(cases, 300);
}

TEST(AutoFindDifferential, ManyFailedPlacesBeforeTheOnlyMatch) {
    EditOnForm f;
    // "-a" stands after a letter again and again (no whole word for the control), and once
    // as a word at the very end of the text, without a final line break.
    std::string text;
    for (int i = 0; i < 50; ++i) text += "b-a ";
    text += "x -a";
    f.Edit->SetText(text);
    const std::vector<std::string> keywords = {"-a", "b-a", "-A", "a", "x -A", "-a ", "b"};
    EXPECT_EQ(AutoFindKeywords(*f.Edit, keywords), AutoFindKeywordsLiteral(*f.Edit, keywords));
    EXPECT_EQ(AutoFindKeywords(*f.Edit, {"-a"}), std::vector<bool>{true});
}

TEST(AutoFindDifferential, ARealDocumentsWordsAndPhrases) {
    std::ifstream in("Z:/usr/share/doc/python3.11/html/library/stdtypes.html", std::ios::binary);
    if (!in) GTEST_SKIP() << "the document is not installed";
    std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Tags out, roughly: what remains is text with punctuation and entities.
    std::string text;
    bool inTag = false;
    for (char c : html) {
        if (c == '<') inTag = true;
        else if (c == '>') inTag = false;
        else if (!inTag) text += c == '\n' ? ' ' : c;
    }
    text.resize(std::min<size_t>(text.size(), 200000));
    EditOnForm f;
    f.Edit->SetText(text);
    ruk::test::TRandom random(7);
    std::vector<std::string> keywords;
    for (int i = 0; i < 300; ++i) {
        const size_t start = static_cast<size_t>(random.Below(static_cast<int>(text.size()) - 20));
        keywords.push_back(text.substr(start, 1 + static_cast<size_t>(random.Below(14))));
    }
    for (const char* k : {"str", "Str", "bytes", "the", "THE", "format()", "x", "0", "e.g.", "Python", "pyth"})
        keywords.push_back(k);
    const std::vector<bool> literal = AutoFindKeywordsLiteral(*f.Edit, keywords);
    const std::vector<bool> fast = AutoFindKeywords(*f.Edit, keywords);
    EXPECT_EQ(fast, literal) << Describe(keywords, literal, fast);
}
