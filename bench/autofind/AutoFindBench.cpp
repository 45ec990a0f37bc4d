// Auto-find and the bulk keyword adds through the real main window.
//
//   AutoFindBench [--file PATH] [--mb 5] [--keywords 2000] [--words 5000] [--sample 20]
//
// The stripped text is a document's as a run strips it (the node.js manual by default),
// repeated to the size asked for. The keywords are words and two-word phrases of the text and made-up
// words that it lacks, some in another case. It prints the time of the fast auto-find alone,
// of the control's own search per keyword on a sample (and whether the answers agree), of the
// Run Auto Find and Add action with its rows, log lines and message, and of Add Words to
// Keywords with the given number of words from the word text and from the word list view.
#include "Forms.h"
#include "RUKAutoFind.h"
#include "RUKDynShlWAPI.h"
#include "RUKGenWordListFromHTMLThreads.h"
#include "RUKLexmillMain.h"
#include "XorShiftRandom.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unordered_set>
#include <vector>

using namespace ruk;
using ruk::test::TRandom;

namespace {

ruk::TRUKDynShlWAPIUnit GShlWAPIUnit;

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}


BOOL CALLBACK CloseBox(HWND w, LPARAM) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w)) PostMessageA(w, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// Closes every message box of this thread as it appears (the action's closing message).
void CALLBACK CloseBoxes(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CloseBox, 0); }

// The document's stripped text as a run makes it, repeated to the size asked for.
std::string StrippedText(const std::string& path, double mb) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TRUKGenWordListFromHTMLThread worker(html, "");
    worker.Resume();
    worker.WaitFor();
    const std::string& text = worker.Text();
    if (text.empty()) {
        std::fprintf(stderr, "the run gave no text\n");
        std::exit(1);
    }
    const size_t size = static_cast<size_t>(mb * 1024 * 1024);
    std::string result;
    while (result.size() < size) result += text;
    // Cut after a line.
    size_t cut = result.rfind("\r\n", size);
    result.resize(cut == std::string::npos ? size : cut + 2);
    return result;
}

bool IsWordByte(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < text.size();) {
        if (!IsWordByte(text[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < text.size() && IsWordByte(text[j])) ++j;
        std::string w = text.substr(i, j - i);
        if (w.size() >= 3 && seen.insert(w).second) words.push_back(w);
        i = j;
    }
    return words;
}

std::vector<std::string> Keywords(const std::string& text, const std::vector<std::string>& words, int count) {
    TRandom random(11);
    std::vector<std::string> keywords;
    std::unordered_set<std::string> seen;
    while (static_cast<int>(keywords.size()) < count) {
        const int kind = random.Below(10);
        std::string k;
        if (kind < 6) {
            k = words[static_cast<size_t>(random.Below(static_cast<int>(words.size())))];
        } else if (kind < 8) {
            // Two words that stand together somewhere in the text.
            size_t at = static_cast<size_t>(random.Below(static_cast<int>(text.size()) - 100));
            while (at < text.size() && IsWordByte(text[at])) ++at;
            while (at < text.size() && !IsWordByte(text[at])) ++at;
            size_t end = at;
            while (end < text.size() && IsWordByte(text[end])) ++end;
            if (end < text.size() && text[end] == ' ') ++end;
            while (end < text.size() && IsWordByte(text[end])) ++end;
            k = text.substr(at, end - at);
        } else {
            k = "qzx" + std::to_string(random.Below(1000000));
        }
        if (random.Below(10) == 0)
            for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (!k.empty() && seen.insert(k).second) keywords.push_back(k);
    }
    return keywords;
}

}  // namespace

int main(int argc, char** argv) {
    std::string file = "Z:\\usr\\share\\doc\\nodejs\\api\\all.html";
    double mb = 5;
    int keywordCount = 2000, wordCount = 5000, sample = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--file" && i + 1 < argc) file = argv[++i];
        else if (a == "--mb" && i + 1 < argc) mb = std::atof(argv[++i]);
        else if (a == "--keywords" && i + 1 < argc) keywordCount = std::atoi(argv[++i]);
        else if (a == "--words" && i + 1 < argc) wordCount = std::atoi(argv[++i]);
        else if (a == "--sample" && i + 1 < argc) sample = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr,
                         "usage: AutoFindBench [--file PATH] [--mb N] [--keywords N] [--words N] [--sample N]\n");
            return 2;
        }
    }
    Application->Initialize();
    Application->SetTitle("RUK Lexmill");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill");
    SetTimer(nullptr, 0, 20, CloseBoxes);

    const std::string text = StrippedText(file, mb);
    const std::vector<std::string> words = Words(text);
    const std::vector<std::string> keywords = Keywords(text, words, keywordCount);
    std::printf("stripped text: %.2f MB, %ld lines, %zu distinct words; %zu keywords\n", text.size() / 1048576.0,
                static_cast<long>(std::count(text.begin(), text.end(), '\n')), words.size(), keywords.size());

    TSDIAppForm* form = CreateForm<TSDIAppForm>();
    form->Show();
    Application->ProcessMessages();
    form->PageControl1->SetActivePage(form->StrippedContentsTabSheet1);
    double t = NowMs();
    form->StrippedContentsRichEdit1->SetText(text);
    form->StrippedContentsRichEdit1->GetTextLenCRLF();
    std::printf("stripped text into its pane: %.0f ms\n", NowMs() - t);

    t = NowMs();
    const std::vector<bool> fast = AutoFindKeywords(*form->StrippedContentsRichEdit1, keywords);
    const double fastMs = NowMs() - t;
    const long found = std::count(fast.begin(), fast.end(), true);
    std::printf("fast auto-find of %zu keywords: %.0f ms (%ld found)\n", keywords.size(), fastMs, found);
    // Its parts: the text out of the control, the pass over it; the rest is the control's
    // confirmations.
    t = NowMs();
    const std::string stored = form->StrippedContentsRichEdit1->StoredText(nullptr);
    const double storedMs = NowMs() - t;
    t = NowMs();
    AutoFindCandidates(stored, keywords, 8);
    std::printf("  of which the text out of the pane: %.0f ms, the pass over it: %.0f ms\n", storedMs, NowMs() - t);

    // The control's own search of each keyword of a sample, found and missing alike.
    std::vector<std::string> sampled;
    std::vector<bool> sampledFast;
    for (size_t k = 0; k < keywords.size() && static_cast<int>(sampled.size()) < sample; k += keywords.size() / sample + 1) {
        sampled.push_back(keywords[k]);
        sampledFast.push_back(fast[k]);
    }
    t = NowMs();
    const std::vector<bool> literal = AutoFindKeywordsLiteral(*form->StrippedContentsRichEdit1, sampled);
    const double literalMs = NowMs() - t;
    std::printf("the control's search, %zu keywords: %.0f ms (%.1f ms a keyword: %.0f s for %zu); answers %s\n",
                sampled.size(), literalMs, literalMs / sampled.size(),
                literalMs / sampled.size() * keywords.size() / 1000.0, keywords.size(),
                literal == sampledFast ? "agree" : "DIFFER");

    {
        TListUpdateGuard noRedraw(form->KeywordsListView1->Items());
        for (const std::string& k : keywords) form->AddKeyword(k, "bench.htm", "Bench", "");
    }
    form->PageControl1->SetActivePage(form->AutoFindAndAddTabSheet1);
    t = NowMs();
    form->AssignmentAutoFindAndAdd->Execute();
    std::printf("Run Auto Find and Add (rows, log lines, message): %.0f ms, %d rows\n", NowMs() - t,
                form->AutoFindListView1->Items().Count());

    // Add Words to Keywords, from the word text and from the word list view.
    std::vector<std::string> bulk(words.begin(), words.begin() + std::min<size_t>(words.size(), wordCount));
    std::sort(bulk.begin(), bulk.end());
    std::string wordText;
    for (const std::string& w : bulk) wordText += w + "\r\n";
    form->PageControl1->SetActivePage(form->DistinctWordsListTabSheet1);
    form->KeywordsListView1->Items().Clear();
    form->DistinctWordsLisRichEdit1->SetText(wordText);
    form->DistinctWordsLisRichEdit1->SetFocus();
    form->DistinctWordsLisRichEdit1->SelectAll();
    t = NowMs();
    form->EditAddAsKeywords->Execute();
    std::printf("Add Words to Keywords, %zu words from the word text: %.0f ms, %d rows\n", bulk.size(), NowMs() - t,
                form->KeywordsListView1->Items().Count());

    form->KeywordsListView1->Items().Clear();
    {
        TListUpdateGuard noRedraw(form->DistinctWordsListView1->Items());
        for (const std::string& w : bulk) form->DistinctWordsListView1->Items().Add()->SetCaption(w);
    }
    form->DistinctWordsListView1->SetFocus();
    form->DistinctWordsListView1->SelectAll();
    t = NowMs();
    form->EditAddAsKeywords->Execute();
    std::printf("Add Words to Keywords, %zu words from the word list view: %.0f ms, %d rows\n", bulk.size(),
                NowMs() - t, form->KeywordsListView1->Items().Count());

    // The rows alone, without looking for the keyword among the rows before.
    form->KeywordsListView1->Items().Clear();
    t = NowMs();
    {
        TListUpdateGuard noRedraw(form->KeywordsListView1->Items());
        for (const std::string& w : bulk) {
            TListItem* row = form->KeywordsListView1->Items().Add();
            row->SetCaption(w);
            for (const char* cell : {"bench.htm", "Bench", "", "1"}) row->SubItems().Add(cell);
        }
    }
    std::printf("  of which the rows alone: %.0f ms\n", NowMs() - t);

    form->Free();
    Application->ProcessMessages();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill");
    return 0;
}
