#include "Filer.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace ruk;
using ruk::test::TempFolder;

namespace {

std::string Bytes(TMemoryStream& m) { return std::string(m.Memory(), static_cast<size_t>(m.Size())); }

std::string Written(const std::function<void(TWriter&)>& write, int bufSize = FilerBufferSize) {
    TMemoryStream m;
    {
        TWriter w(m, bufSize);
        write(w);
        w.FlushBuffer();
    }
    return Bytes(m);
}

void Load(TMemoryStream& m, const std::string& bytes) {
    m.Clear();
    if (!bytes.empty()) m.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    m.SetPosition(0);
}

const char kIdent[] = "RUKLexmill0.3KeywordsListView1Ver1.0";

void WriteExampleList(TWriter& w) {
    w.WriteIdent(kIdent);
    w.WriteListBegin();
    w.WriteString("html");
    w.WriteString("a.htm");
    w.WriteString("Untitled Document");
    w.WriteString("");
    w.WriteInteger(1);
    w.WriteListEnd();
}

const std::string kExample = std::string("\x07\x24") + kIdent + "\x01" + "\x06\x04html" + "\x06\x05" "a.htm" +
                             "\x06\x11Untitled Document" + std::string("\x06\x00\x02\x01\x00", 5);

}  // namespace

TEST(Filer, KeywordListExampleIsTheDocumentedBytes) {
    ASSERT_EQ(kExample.size(), 76u);
    EXPECT_EQ(Written(WriteExampleList), kExample);
    // A buffer smaller than the values writes the same bytes.
    EXPECT_EQ(Written(WriteExampleList, 7), kExample);

    for (int bufSize : {FilerBufferSize, 5}) {
        TMemoryStream m;
        Load(m, kExample + "trailing");
        TReader r(m, bufSize);
        EXPECT_EQ(r.ReadIdent(), kIdent);
        r.ReadListBegin();
        EXPECT_FALSE(r.EndOfList());
        EXPECT_EQ(r.ReadString(), "html");
        EXPECT_EQ(r.ReadString(), "a.htm");
        EXPECT_EQ(r.ReadString(), "Untitled Document");
        EXPECT_EQ(r.ReadString(), "");
        EXPECT_EQ(r.ReadInteger(), 1);
        EXPECT_TRUE(r.EndOfList());
        EXPECT_EQ(r.Position(), 75);  // the end-of-list tag is not consumed
        r.ReadListEnd();
        EXPECT_EQ(r.Position(), 76);
    }
}

TEST(Filer, ReaderGivesBackWhatItBufferedButDidNotConsume) {
    TMemoryStream m;
    Load(m, kExample + "rest");
    {
        TReader r(m);
        r.ReadIdent();
        r.ReadListBegin();
        EXPECT_EQ(m.Position(), 80);  // the whole stream went into the buffer
    }
    EXPECT_EQ(m.Position(), 39);
}

TEST(Filer, IntegersTakeTheSmallestForm) {
    struct Case { int value; std::string bytes; };
    const Case cases[] = {
        {0, std::string("\x02\x00", 2)},
        {1, "\x02\x01"},
        {127, "\x02\x7F"},
        {-1, "\x02\xFF"},
        {-128, "\x02\x80"},
        {128, std::string("\x03\x80\x00", 3)},
        {200, std::string("\x03\xC8\x00", 3)},
        {-129, "\x03\x7F\xFF"},
        {32767, "\x03\xFF\x7F"},
        {-32768, std::string("\x03\x00\x80", 3)},
        {32768, std::string("\x04\x00\x80\x00\x00", 5)},
        {70000, std::string("\x04\x70\x11\x01\x00", 5)},
        {INT_MAX, "\x04\xFF\xFF\xFF\x7F"},
        {INT_MIN, std::string("\x04\x00\x00\x00\x80", 5)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Written([&](TWriter& w) { w.WriteInteger(c.value); }), c.bytes) << c.value;
        TMemoryStream m;
        Load(m, c.bytes);
        TReader r(m);
        EXPECT_EQ(r.ReadInteger(), c.value) << c.value;
    }
}

TEST(Filer, StringForms) {
    const std::string ascii300(300, 'a');
    const std::string ascii255(255, 'b');
    struct Case { std::string text; std::string bytes; };
    const Case cases[] = {
        {"", std::string("\x06\x00", 2)},
        {"x", "\x06\x01x"},
        {ascii255, "\x06\xFF" + ascii255},
        {std::string(256, 'c'), std::string("\x0C\x00\x01\x00\x00", 5) + std::string(256, 'c')},
        {ascii300, std::string("\x0C\x2C\x01\x00\x00", 5) + ascii300},
        // The cell separator: a byte above 0x7F makes the UTF-8 form.
        {"a\x95" "b", std::string("\x14\x05\x00\x00\x00", 5) + "a\xE2\x80\xA2" "b"},
        {"\xE4", std::string("\x14\x02\x00\x00\x00", 5) + "\xC3\xA4"},
        {ascii300 + "\x95", std::string("\x14\x2F\x01\x00\x00", 5) + ascii300 + "\xE2\x80\xA2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Written([&](TWriter& w) { w.WriteString(c.text); }), c.bytes) << c.text.size();
        TMemoryStream m;
        Load(m, c.bytes);
        TReader r(m);
        EXPECT_EQ(r.ReadString(), c.text) << c.text.size();
        EXPECT_EQ(r.Position(), static_cast<Int64>(c.bytes.size()));
    }
    // Wide strings are only read.
    TMemoryStream m;
    Load(m, std::string("\x12\x03\x00\x00\x00h\x00\x22\x20i\x00", 11));
    TReader r(m);
    EXPECT_EQ(r.ReadString(), "h\x95i");
}

TEST(Filer, Identifiers) {
    EXPECT_EQ(Written([](TWriter& w) { w.WriteIdent(""); }), std::string("\x07\x00", 2));
    const std::string long300(300, 'i');
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteIdent(long300); }), "\x07\xFF" + std::string(255, 'i'));
    // Written unconverted, whatever the bytes.
    EXPECT_EQ(Written([](TWriter& w) { w.WriteIdent("\x95"); }), "\x07\x01\x95");

    TMemoryStream m;
    Load(m, std::string("\x08\x09\x0D\x00\x07\x03" "abc", 9));
    TReader r(m);
    EXPECT_EQ(r.ReadIdent(), "False");
    EXPECT_EQ(r.ReadIdent(), "True");
    EXPECT_EQ(r.ReadIdent(), "nil");
    EXPECT_EQ(r.ReadIdent(), "Null");
    EXPECT_EQ(r.ReadIdent(), "abc");
}

TEST(Filer, ReaderRejectsBadTagsAndTruncatedOrAbsurdInput) {
    enum Kind { Integer, String, Ident, ListBegin, ListEnd, Value };
    struct Case { const char* what; std::string bytes; Kind kind; const char* message; };
    const char* const invalid = "Invalid property value";
    const char* const readError = "Stream read error";
    const Case cases[] = {
        {"empty stream", "", Value, readError},
        {"integer from a string tag", "\x06\x01x", Integer, invalid},
        {"integer from 0x05", "\x05", Integer, invalid},
        {"integer cut short", "\x04\x01\x02", Integer, readError},
        {"string from an integer tag", "\x02\x01", String, invalid},
        {"string from an identifier tag", "\x07\x01x", String, invalid},
        {"string without its length", "\x06", String, readError},
        {"short string cut short", "\x06\x05" "ab", String, readError},
        {"long string cut short", std::string("\x0C\x0A\x00\x00\x00", 5) + "abc", String, readError},
        {"long string, length one too many", std::string("\x0C\x04\x00\x00\x00", 5) + "abc", String, readError},
        {"long string of 4 GB", "\x0C\xFF\xFF\xFF\xFF", String, readError},
        {"long string of 2 GB", "\x0C\xF0\xFF\xFF\x7F", String, readError},
        {"UTF-8 string of 1 GB", std::string("\x14\x00\x00\x00\x40", 5) + "abc", String, readError},
        {"wide string of 2G units", "\x12\xFF\xFF\xFF\x7F" "ab", String, readError},
        {"wide string, odd byte missing", std::string("\x12\x02\x00\x00\x00" "a\x00" "b", 8), String, readError},
        {"identifier from a string tag", "\x06\x01x", Ident, invalid},
        {"identifier from 0x01", "\x01", Ident, invalid},
        {"identifier cut short", "\x07\x09" "abc", Ident, readError},
        {"list begin from end of list", std::string("\x00", 1), ListBegin, invalid},
        {"list end from a string", "\x06\x00", ListEnd, invalid},
    };
    for (const Case& c : cases) {
        TMemoryStream m;
        Load(m, c.bytes);
        TReader r(m);
        try {
            switch (c.kind) {
                case Integer: r.ReadInteger(); break;
                case String: r.ReadString(); break;
                case Ident: r.ReadIdent(); break;
                case ListBegin: r.ReadListBegin(); break;
                case ListEnd: r.ReadListEnd(); break;
                case Value: r.ReadValue(); break;
            }
            ADD_FAILURE() << c.what << ": nothing raised";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.message) << c.what;
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.what << ": " << e.what();
        }
    }
}

TEST(Filer, ListWithoutItsEndFailsAfterTheLastRow) {
    TMemoryStream m;
    Load(m, kExample.substr(0, 75));  // the end-of-list byte is missing
    TReader r(m);
    r.ReadIdent();
    r.ReadListBegin();
    int rows = 0;
    try {
        while (!r.EndOfList()) {
            r.ReadString();
            r.ReadString();
            r.ReadString();
            r.ReadString();
            r.ReadInteger();
            ++rows;
        }
        FAIL() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_EQ(rows, 1);
}

TEST(Filer, FileStreamsAndWriteFailures) {
    TempFolder dir;
    const std::string name = dir.File("values.bin");
    {
        TFileStream f(name, fmCreate);
        TWriter w(f, 16);
        for (int i = 0; i < 1000; ++i) w.WriteString("row " + IntToStr(i));
        w.WriteString(std::string(100000, 'z'));
        w.WriteListEnd();
        w.FlushBuffer();
        EXPECT_EQ(w.Position(), f.Size());
    }
    {
        TFileStream f(name, fmOpenRead | fmShareDenyWrite);
        TReader r(f, 64);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(r.ReadString(), "row " + IntToStr(i));
        EXPECT_EQ(r.ReadString(), std::string(100000, 'z'));
        EXPECT_TRUE(r.EndOfList());
    }
    // The destructor alone writes out the rest too.
    {
        TFileStream f(name, fmCreate);
        TWriter w(f);
        w.WriteInteger(70000);
    }
    EXPECT_EQ(TempFolder::ReadAll(name), std::string("\x04\x70\x11\x01\x00", 5));
    // A stream that takes nothing: the failure is raised by FlushBuffer, once.
    TFileStream readOnly(name, fmOpenRead);
    TWriter w(readOnly);
    w.WriteString("lost");
    EXPECT_THROW(w.FlushBuffer(), EWriteError);
    EXPECT_NO_THROW(w.FlushBuffer());
}
