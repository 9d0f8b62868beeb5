#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/expect_raises.h"
#include "tests/toolkit/test_form_win32.h"

TEST_F(FormTest, ReaderRejectsUnknownPropertiesHandlersAndClasses) {
    struct Case { const char* name; const char* text; const char16_t* message; };
    const Case cases[] = {
        {"property", "object T: TTestForm\n  Bogus = 1\nend\n", u"Property Bogus does not exist"},
        {"handler", "object T: TTestForm\n  OnShow = Nope\nend\n", u"Method Nope not found"},
        {"handler kind", "object T: TTestForm\n  OnClose = FormShow\nend\n", u"Method FormShow does not fit OnClose"},
        {"field", "object T: TTestForm\n  object Green: TSolid\n  end\nend\n", u"Field Green not found"},
        {"class", "object T: TTestForm\n  object Red: TLabel\n  end\nend\n", u"Field Red is not of class TLabel"},
        {"value", "object T: TTestForm\n  Scaled = 1\nend\n", u"Invalid property value: Scaled"},
        {"enum", "object T: TTestForm\n  BorderStyle = bsRound\nend\n", u"Invalid property value: BorderStyle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTestForm* form = FApp->CreateOwned<TTestForm>();
        ExpectRaises<EReadError>([&] { ReadFormText(*form, c.text); }, c.message);
    }
}
