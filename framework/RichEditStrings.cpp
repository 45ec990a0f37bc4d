// TRichEditStrings: the lines of a rich edit, and its text loaded and saved through streams.
#include "ComCtrls.h"

#include <exception>
#include <string>

namespace ruk {

namespace {
struct StreamCookie {
    TStream* stream;
    std::exception_ptr error;
};

DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* c = reinterpret_cast<StreamCookie*>(cookie);
    try {
        *done = c->stream->Read(buffer, size);
        return 0;
    } catch (...) {
        c->error = std::current_exception();
        *done = 0;
        return 1;
    }
}

DWORD CALLBACK StreamOutCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* c = reinterpret_cast<StreamCookie*>(cookie);
    try {
        c->stream->WriteBuffer(buffer, size);
        *done = size;
        return 0;
    } catch (...) {
        c->error = std::current_exception();
        *done = 0;
        return 1;
    }
}

// A plain text as rich text in the pane's font, each line a paragraph: in substance what the
// control writes for a text put in as plain text.
std::string PlainTextAsRtf(const std::string& text, const TFont& font) {
    const int px = font.Height < 0 ? -font.Height : (font.Height * 8 + 5) / 10;
    std::string s = "{\\rtf1\\ansi\\ansicpg" + std::to_string(GetACP()) + "\\deff0{\\fonttbl{\\f0\\fnil " +
                    font.Name + ";}}\r\n{\\colortbl ;\\red" + std::to_string(GetRValue(font.Color)) + "\\green" +
                    std::to_string(GetGValue(font.Color)) + "\\blue" + std::to_string(GetBValue(font.Color)) +
                    ";}\r\n\\pard\\cf1" + (font.Bold ? "\\b" : "") + "\\f0\\fs" + std::to_string(px * 3 / 2) + " ";
    s.reserve(s.size() + text.size() + text.size() / 8);
    static const char* const kHex = "0123456789abcdef";
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            s += "\\par\r\n";
        } else if (c == '\\' || c == '{' || c == '}') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c == '\t') {
            s += "\\tab ";
        } else if (c >= 0x80) {
            s += "\\'";
            s += kHex[c >> 4];
            s += kHex[c & 15];
        } else {
            s += static_cast<char>(c);
        }
    }
    s += "\r\n}\r\n";
    return s;
}
}  // namespace

int TRichEditStrings::Count() {
    if (FOwner.FWindowed && !FOwner.FPaneLines.AnyBreaks()) {
        // Each display line is a line of the text; an empty one after the last break is none.
        const TPaneLines& lines = FOwner.FPaneLines;
        const size_t n = lines.Count();
        return static_cast<int>(n > 0 && lines.LengthOf(n - 1) == 0 ? n - 1 : n);
    }
    if (FOwner.FBreaks.Any() || FOwner.FWindowed) {
        // The control's lines are display lines: the text's are counted.
        const std::string text = FOwner.Text();
        int n = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') ++n;
        return n + (text.empty() || text.back() == '\n' ? 0 : 1);
    }
    HWND h = FOwner.Handle();
    int n = static_cast<int>(SendMessageA(h, EM_GETLINECOUNT, 0, 0));
    // The control always has a line after the last line break; it is not a line of the text.
    if (n > 0) {
        int last = static_cast<int>(SendMessageA(h, EM_LINEINDEX, n - 1, 0));
        if (SendMessageA(h, EM_LINELENGTH, last, 0) == 0) --n;
    }
    return n;
}

std::string TRichEditStrings::Strings(int index) {
    if (FOwner.FWindowed && !FOwner.FPaneLines.AnyBreaks()) {
        if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
        const TPaneLines& lines = FOwner.FPaneLines;
        const size_t line = static_cast<size_t>(index);
        return lines.Range(FOwner.FPaneText.Text(), lines.UnitOf(line), lines.UnitOf(line) + lines.LengthOf(line));
    }
    if (FOwner.FBreaks.Any() || FOwner.FWindowed) {
        const std::string text = FOwner.Text();
        if (index >= 0) {
            size_t start = 0;
            for (int line = 0; start < text.size(); ++line) {
                size_t end = text.find("\r\n", start);
                if (end == std::string::npos) end = text.size();
                if (line == index) return text.substr(start, end - start);
                start = end + 2;
            }
        }
        throw EStringListError(Format("List index out of bounds (%d)", index));
    }
    HWND h = FOwner.Handle();
    if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
    int start = static_cast<int>(SendMessageA(h, EM_LINEINDEX, index, 0));
    int len = static_cast<int>(SendMessageA(h, EM_LINELENGTH, start, 0));
    std::string s(static_cast<size_t>(len) + 2, '\0');
    *reinterpret_cast<WORD*>(s.data()) = static_cast<WORD>(len + 2);
    int got = static_cast<int>(SendMessageA(h, EM_GETLINE, index, reinterpret_cast<LPARAM>(s.data())));
    s.resize(static_cast<size_t>(std::max(0, std::min(got, len))));
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
    return s;
}

std::string TRichEditStrings::Text() { return FOwner.Text(); }

void TRichEditStrings::SetText(const std::string& text) { FOwner.SetText(text); }

void TRichEditStrings::Add(const std::string& line) {
    // Appended after a line break, adding one when the text does not end with one.
    const char last = FOwner.LastChar();
    FOwner.AppendText(last != '\0' && last != '\r' && last != '\n' ? "\r\n" + line : line);
}

void TRichEditStrings::Clear() { FOwner.Clear(); }

bool StreamHoldsRichText(TStream& stream) {
    const Int64 pos = stream.Position();
    char head[5] = {};
    const int got = stream.Read(head, 5);
    stream.SetPosition(pos);
    return got == 5 && std::string(head, 5) == "{\\rtf";
}

void TRichEditStrings::LoadFromStream(TStream& stream) {
    // A file that is not RTF is read as plain text.
    const UINT format = !FOwner.FPlainText && StreamHoldsRichText(stream) ? SF_RTF : SF_TEXT;
    if (format == SF_TEXT) {
        // Plain text can go in by slices, as appends do.
        std::string text;
        char buffer[65536];
        for (;;) {
            const int got = stream.Read(buffer, sizeof buffer);
            if (got < 0) throw EOutOfResources("Failed to Load Stream");
            if (got == 0) break;
            text.append(buffer, static_cast<size_t>(got));
        }
        FOwner.LoadPlainText(std::move(text));
        return;
    }
    FOwner.BeginNewText("");
    FOwner.FPaneText.Forget();
    StreamCookie cookie{&stream, nullptr};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamInCallback};
    SendMessageA(FOwner.Handle(), EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    // Streaming in marks the control modified (so under Wine); a load is no edit of the user's.
    SendMessageA(FOwner.Handle(), EM_SETMODIFY, FALSE, 0);
    if (cookie.error) std::rethrow_exception(cookie.error);
    if (es.dwError != 0) throw EOutOfResources("Failed to Load Stream");
}

void TRichEditStrings::SaveToStream(TStream& stream) {
    if (FOwner.FBreaks.Any() || FOwner.FWindowed) {
        // The control would write its display lines (or a window) only: the text is written from here.
        const std::string text = FOwner.FPlainText ? FOwner.Text() : PlainTextAsRtf(FOwner.Text(), FOwner.Font());
        if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
        return;
    }
    if (FOwner.FPlainText && FOwner.FPaneText.Known()) {
        // The control would write the same, after taking in what waits.
        const std::string& text = FOwner.FPaneText.Text();
        if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
        return;
    }
    HWND h = FOwner.Handle();
    StreamCookie cookie{&stream, nullptr};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamOutCallback};
    SendMessageA(h, EM_STREAMOUT, FOwner.FPlainText ? SF_TEXT : SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (cookie.error) std::rethrow_exception(cookie.error);
    if (es.dwError != 0) throw EOutOfResources("Failed to Save Stream");
}

void TRichEditStrings::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TRichEditStrings::SaveToFile(const std::string& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

}  // namespace ruk
