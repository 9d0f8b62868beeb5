// The text of a window definition: one object per window, nested objects for
// its controls in creation order, and "Name = value" property lines.
//
//   object Form1: TForm1
//     ClientWidth = 798
//     Caption = "text in UTF-8, \" and \\ escaped"
//     BorderIcons = [biSystemMenu]
//     Font.Style = [fsBold]
//     OnShow = FormShow
//     object sImage1: TsImage
//       Picture.Data = {0954506E67496D616765 ...}
//     end
//   end
//
// Values are integers, strings, identifiers (True, False, enumeration values,
// handler names), sets of identifiers and byte blocks in hexadecimal. A "#"
// starts a comment that runs to the end of the line.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/text.h"

enum TFormValueKind : uint8_t { fvInteger, fvString, fvIdent, fvSet, fvBytes };

struct TFormValue {
    TFormValueKind Kind = fvInteger;
    int64_t Integer = 0;
    UString Text;                  // fvString and fvIdent
    std::vector<UString> Items;    // fvSet
    std::vector<uint8_t> Bytes;    // fvBytes
};

struct TFormProperty {
    UString Name;  // dotted for nested objects: "Font.Height", "SkinData.SkinSection"
    TFormValue Value;
    int Line = 0;
};

struct TFormObject {
    UString Name;
    UString ClassName;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
    int Line = 0;
};

// ParseFormText reads one definition. It raises EParserError with the line
// number for text it cannot read.
TFormObject ParseFormText(std::string_view text);
