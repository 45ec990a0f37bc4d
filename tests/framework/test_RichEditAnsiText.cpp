// A rich edit takes ANSI text as it stands, whatever it begins with: the control's own
// plain-text load would read a text with the UTF-8 byte-order mark as UTF-8.
#include "ComCtrls.h"
#include "Form.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace ruk;
using namespace ruk::test;

TEST(RichEditAnsiText, LoadsAndAppendsKeepEveryByteWhateverMarkLeads) {
    const std::string body = "<p>caf\xE9 \x97 na\xEFve</p>\r\nline two\r\n";
    const struct {
        const char* Name;
        std::string Text;
    } cases[] = {
        {"no mark", body},
        {"FF FE", "\xFF\xFE" + body},
        {"FE FF", "\xFE\xFF" + body},
        {"EF BB BF", "\xEF\xBB\xBF" + body},
        {"EF BB BF alone", "\xEF\xBB\xBF"},
    };
    FormPtr form = NewForm();
    TRichEdit* edit = Place<TRichEdit>(*form);
    form->Show();
    for (bool plain : {true, false}) {
        edit->SetPlainText(plain);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (plain ? ", plain" : ", rich"));
            TMemoryStream stream;
            stream.WriteBuffer(c.Text.data(), static_cast<int>(c.Text.size()));
            stream.SetPosition(0);
            edit->Lines().LoadFromStream(stream);
            EXPECT_EQ(edit->Text(), c.Text);
            // An append that begins with the mark is as much ANSI text as a load.
            edit->SetText("first\r\n");
            edit->AppendText(c.Text);
            EXPECT_EQ(edit->Text(), "first\r\n" + c.Text);
        }
    }
}
