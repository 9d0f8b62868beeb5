#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/support/expect_raises.h"
#include "toolkit/form_text.h"
#include "toolkit/toolkit_texts.h"

namespace {

const char kDefinition[] = R"(# a window
object Form1: TForm1
  ClientWidth = 798
  Font.Height = -11
  Caption = "آپدیت \"x\" \\ y"
  BorderIcons = [ biSystemMenu , biHelp ]
  Font.Style = [ ]
  Scaled = False
  Picture.Data = {0954 5A6F
     67af}
  object Label2: TLabel   # the first label
    Left = 63
  end
  object Panel: TPanel
    object Inner: TLabel
    end
  end
end
)";

// Parse reads text from a buffer of exactly its size, as a definition kept
// among the program's resources is read: a read past its end is one the
// sanitizers see.
TFormObject Parse(std::string_view text) {
    const std::unique_ptr<char[]> exact(new char[text.size()]);
    std::memcpy(exact.get(), text.data(), text.size());
    return ParseFormText(std::string_view(exact.get(), text.size()));
}

}  // namespace

TEST(FormText, ReadsObjectsPropertiesAndValuesInOrder) {
    const TFormObject form = Parse(kDefinition);
    EXPECT_EQ(form.Name, u"Form1");
    EXPECT_EQ(form.ClassName, u"TForm1");
    ASSERT_EQ(form.Properties.size(), 7u);
    EXPECT_EQ(form.Properties[0].Name, u"ClientWidth");
    EXPECT_EQ(form.Properties[0].Value.Kind, fvInteger);
    EXPECT_EQ(form.Properties[0].Value.Integer, 798);
    EXPECT_EQ(form.Properties[0].Line, 3);
    EXPECT_EQ(form.Properties[1].Name, u"Font.Height");
    EXPECT_EQ(form.Properties[1].Value.Integer, -11);
    EXPECT_EQ(form.Properties[2].Value.Kind, fvString);
    EXPECT_EQ(form.Properties[2].Value.Text, u"\u0622\u067e\u062f\u06cc\u062a \"x\" \\ y");
    EXPECT_EQ(form.Properties[3].Value.Kind, fvSet);
    EXPECT_EQ(form.Properties[3].Value.Items, (std::vector<UString>{u"biSystemMenu", u"biHelp"}));
    EXPECT_EQ(form.Properties[4].Value.Kind, fvSet);
    EXPECT_TRUE(form.Properties[4].Value.Items.empty());
    EXPECT_EQ(form.Properties[5].Value.Kind, fvIdent);
    EXPECT_EQ(form.Properties[5].Value.Text, u"False");
    EXPECT_EQ(form.Properties[6].Value.Kind, fvBytes);
    EXPECT_EQ(form.Properties[6].Value.Bytes, (std::vector<uint8_t>{0x09, 0x54, 0x5A, 0x6F, 0x67, 0xAF}));
    ASSERT_EQ(form.Children.size(), 2u);
    EXPECT_EQ(form.Children[0].Name, u"Label2");
    EXPECT_EQ(form.Children[0].Properties[0].Value.Integer, 63);
    ASSERT_EQ(form.Children[1].Children.size(), 1u);
    EXPECT_EQ(form.Children[1].Children[0].ClassName, u"TLabel");
    // The last "end" may end the text without a line break, and so may a comment after it.
    EXPECT_EQ(Parse("object A: TA\n  X = 2147483647\nend").Properties[0].Value.Integer, INT32_MAX);
    EXPECT_EQ(Parse("object A: TA\nend # done").Name, u"A");
}

TEST(FormText, ReportsTheLineOfWhatItCannotRead) {
    struct Case { const char* name; const char* text; const char16_t* message; };
    const Case cases[] = {
        {"missing end", "object A: TA\n  X = 1\n", u"Line 3: \"end\" expected"},
        {"missing equals", "object A: TA\n  X 1\nend\n", u"Line 2: \"=\" expected"},
        {"two values", "object A: TA\n  X = 1 2\nend\n", u"Line 2: end of line expected"},
        {"property after the class", "object A: TA X = 1\nend\n", u"Line 1: end of line expected"},
        {"a word after end", "object A: TA\nend end\n", u"Line 2: end of line expected"},
        {"name led by a dot", "object A: TA\n  .X = 1\nend\n", u"Line 2: name expected"},
        {"string across lines", "object A: TA\n  X = \"abc\n  def\"\nend\n", u"Line 2: unterminated string"},
        {"escape at the end", "object A: TA\n  X = \"a\\", u"Line 2: unterminated string"},
        {"odd hex digits", "object A: TA\n  X = {120}\nend\n", u"Line 2: odd number of hexadecimal digits"},
        {"open byte block", "object A: TA\n  X = {12", u"Line 2: unterminated byte block"},
        {"bad hex digit", "object A: TA\n  X = {12\n 3G}\nend\n", u"Line 3: hexadecimal digit expected"},
        {"a second object", "object A: TA\nend\nobject B: TB\nend\n", u"Line 3: text after the last \"end\""},
        {"no object", "A = 1\n", u"Line 1: \"object\" expected"},
        {"number too large", "object A: TA\n  X = 2147483648\nend\n", u"Line 2: number too large"},
        {"unknown escape", "object A: TA\n  X = \"a\\n\"\nend\n", u"Line 2: unknown escape"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRaises<EParserError>([&] { Parse(c.text); }, c.message);
    }
    // A definition kept among the program's resources ends without a NUL: what
    // follows it in memory is no part of it.
    const std::string_view whole = "object A: TA\n  X = \"abc\"\n  Y = 5\nend\n";
    ExpectRaises<EParserError>([&] { Parse(whole.substr(0, whole.find("\"\n"))); }, u"Line 2: unterminated string");
    ExpectRaises<EParserError>([&] { Parse(whole.substr(0, whole.find('5'))); }, u"Line 3: name expected");
    ExpectRaises<EParserError>([&] { Parse(whole.substr(0, whole.find("\nend"))); }, u"Line 3: \"end\" expected");
}
