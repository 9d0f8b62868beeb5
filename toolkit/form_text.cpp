#include "toolkit/form_text.h"

#include <cctype>
#include <string>

#include "toolkit/toolkit_texts.h"

namespace {

// TFormLexer walks the definition text one token at a time, tracking the line.
class TFormLexer {
public:
    explicit TFormLexer(std::string_view text) : FText(text) {}

    int Line() const { return FLine; }

    [[noreturn]] void Fail(const char* what) const {
        const std::string line = std::to_string(FLine);
        throw EParserError(Format(kSyntaxError, {FromUtf8(line), FromUtf8(what)}));
    }

    // SkipBlank passes spaces, comments and (when lines is set) line breaks.
    void SkipBlank(bool lines) {
        while (FPos < FText.size()) {
            const char c = FText[FPos];
            if (c == '#') {
                while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
            } else if (c == '\n' && lines) {
                ++FLine;
                ++FPos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++FPos;
            } else {
                return;
            }
        }
    }

    bool AtEnd() {
        SkipBlank(true);
        return FPos >= FText.size();
    }

    char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }

    void Expect(char c, const char* what) {
        SkipBlank(false);
        if (Peek() != c) Fail(what);
        ++FPos;
    }

    // Word reads an identifier, dotted when dotted is set ("Font.Height").
    std::string Word(bool dotted) {
        SkipBlank(false);
        const size_t start = FPos;
        while (FPos < FText.size()) {
            const unsigned char c = static_cast<unsigned char>(FText[FPos]);
            if (std::isalnum(c) || c == '_' || (dotted && c == '.' && FPos > start)) {
                ++FPos;
            } else {
                break;
            }
        }
        if (FPos == start) Fail("name expected");
        return std::string(FText.substr(start, FPos - start));
    }

    void EndOfLine() {
        SkipBlank(false);
        if (FPos < FText.size() && FText[FPos] != '\n') Fail("end of line expected");
    }

    TFormValue Value() {
        SkipBlank(false);
        const char c = Peek();
        if (c == '"') return StringValue();
        if (c == '[') return SetValue();
        if (c == '{') return BytesValue();
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return IntegerValue();
        TFormValue value;
        value.Kind = fvIdent;
        value.Text = FromUtf8(Word(false));
        return value;
    }

private:
    TFormValue IntegerValue() {
        TFormValue value;
        const bool negative = Peek() == '-';
        if (negative) ++FPos;
        if (!std::isdigit(static_cast<unsigned char>(Peek()))) Fail("digit expected");
        int64_t number = 0;
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            number = number * 10 + (FText[FPos++] - '0');
            if (number > INT32_MAX) Fail("number too large");
        }
        value.Integer = negative ? -number : number;
        return value;
    }

    TFormValue StringValue() {
        ++FPos;  // opening quote
        std::string bytes;
        for (;;) {
            if (FPos >= FText.size() || FText[FPos] == '\n') Fail("unterminated string");
            char c = FText[FPos++];
            if (c == '"') break;
            if (c == '\\') {
                if (FPos >= FText.size()) Fail("unterminated string");
                c = FText[FPos++];
                if (c != '"' && c != '\\') Fail("unknown escape");
            }
            bytes.push_back(c);
        }
        TFormValue value;
        value.Kind = fvString;
        value.Text = FromUtf8(bytes);
        return value;
    }

    TFormValue SetValue() {
        ++FPos;  // [
        TFormValue value;
        value.Kind = fvSet;
        SkipBlank(false);
        if (Peek() == ']') {
            ++FPos;
            return value;
        }
        for (;;) {
            value.Items.push_back(FromUtf8(Word(false)));
            SkipBlank(false);
            if (Peek() == ']') break;
            Expect(',', "\",\" or \"]\" expected");
        }
        ++FPos;
        return value;
    }

    // BytesValue reads hexadecimal digit pairs up to "}", across lines.
    TFormValue BytesValue() {
        ++FPos;  // {
        TFormValue value;
        value.Kind = fvBytes;
        int high = -1;
        for (;;) {
            SkipBlank(true);
            if (FPos >= FText.size()) Fail("unterminated byte block");
            const char c = FText[FPos++];
            if (c == '}') break;
            const int digit = HexDigit(c);
            if (digit < 0) Fail("hexadecimal digit expected");
            if (high < 0) {
                high = digit;
            } else {
                value.Bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
                high = -1;
            }
        }
        if (high >= 0) Fail("odd number of hexadecimal digits");
        return value;
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    std::string_view FText;
    size_t FPos = 0;
    int FLine = 1;
};

TFormObject ParseObject(TFormLexer& lexer) {
    TFormObject object;
    object.Line = lexer.Line();
    object.Name = FromUtf8(lexer.Word(false));
    lexer.Expect(':', "\":\" expected");
    object.ClassName = FromUtf8(lexer.Word(false));
    lexer.EndOfLine();
    for (;;) {
        if (lexer.AtEnd()) lexer.Fail("\"end\" expected");
        const int line = lexer.Line();
        const std::string word = lexer.Word(true);
        if (word == "end") {
            lexer.EndOfLine();
            return object;
        }
        if (word == "object") {
            object.Children.push_back(ParseObject(lexer));
            continue;
        }
        lexer.Expect('=', "\"=\" expected");
        TFormProperty property;
        property.Name = FromUtf8(word);
        property.Line = line;
        property.Value = lexer.Value();
        lexer.EndOfLine();
        object.Properties.push_back(std::move(property));
    }
}

}  // namespace

TFormObject ParseFormText(std::string_view text) {
    TFormLexer lexer(text);
    if (lexer.AtEnd() || lexer.Word(false) != "object") lexer.Fail("\"object\" expected");
    TFormObject root = ParseObject(lexer);
    if (!lexer.AtEnd()) lexer.Fail("text after the last \"end\"");
    return root;
}
