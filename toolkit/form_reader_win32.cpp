#include "toolkit/form_reader_win32.h"

#include <string>

#include "base/base_texts.h"
#include "base/finally.h"
#include "toolkit/form_win32.h"
#include "toolkit/toolkit_texts.h"
#include "base/win32_handles.h"

namespace {

const TFormValue& ValueOfKind(const TFormProperty& property, TFormValueKind kind) {
    if (property.Value.Kind != kind) TFormReader::InvalidValue(property);
    return property.Value;
}

}  // namespace

TFormReader::TFormReader(TForm& root) : FRoot(root), FFields(root.FieldTable()), FMethods(root.MethodTable()) {}

void TFormReader::Read(const TFormObject& definition) {
    if (definition.ClassName != FRoot.ClassName())
        throw EReadError(Format(kClassMismatch, {definition.Name, FRoot.ClassName()}));
    FRoot.SetName(definition.Name);
    FRoot.IncludeState(csLoading);
    ReadProperties(FRoot, definition);
    for (const TFormObject& child : definition.Children) CreateChild(child, FRoot);
    // Loaded runs once everything is read: the form first, then its controls in creation order.
    FRoot.Loaded();
    for (TControl* control : FLoaded) control->Loaded();
}

TControl* TFormReader::CreateChild(const TFormObject& definition, TWinControl& parent) {
    const TFieldBinding* binding = nullptr;
    for (const TFieldBinding& field : FFields)
        if (field.Name == definition.Name) binding = &field;
    if (!binding) throw EReadError(Format(kFieldNotFound, {definition.Name}));
    if (binding->ClassName != definition.ClassName)
        throw EReadError(Format(kClassMismatch, {definition.Name, definition.ClassName}));
    TControl* control = binding->Create(&FRoot);
    control->SetName(definition.Name);
    control->IncludeState(csLoading);
    control->SetParent(&parent);
    ReadProperties(*control, definition);
    FLoaded.push_back(control);
    auto* container = dynamic_cast<TWinControl*>(control);
    for (const TFormObject& child : definition.Children) {
        if (!container) throw EReadError(Format(kFieldNotFound, {child.Name}));
        CreateChild(child, *container);
    }
    return control;
}

void TFormReader::ReadProperties(TControl& control, const TFormObject& definition) {
    control.IncludeState(csReading);
    TryFinally(
        [&] {
            for (const TFormProperty& property : definition.Properties)
                if (!control.ReadProperty(property, *this)) UnknownProperty(property);
        },
        [&] { control.ExcludeState(csReading); });
}

const TMethod& TFormReader::FindMethod(const TFormProperty& property) const {
    const UString name = Ident(property);
    for (const TMethodBinding& method : FMethods)
        if (method.Name == name) return method.Method;
    throw EReadError(Format(kMethodNotFound, {name}));
}

TNotifyEvent TFormReader::NotifyEvent(const TFormProperty& property) const {
    if (const auto* event = std::get_if<TNotifyEvent>(&FindMethod(property))) return *event;
    throw EReadError(Format(kMethodKind, {Ident(property), property.Name}));
}

TMouseEvent TFormReader::MouseEvent(const TFormProperty& property) const {
    if (const auto* event = std::get_if<TMouseEvent>(&FindMethod(property))) return *event;
    throw EReadError(Format(kMethodKind, {Ident(property), property.Name}));
}

TCloseEvent TFormReader::CloseEvent(const TFormProperty& property) const {
    if (const auto* event = std::get_if<TCloseEvent>(&FindMethod(property))) return *event;
    throw EReadError(Format(kMethodKind, {Ident(property), property.Name}));
}

int TFormReader::Integer(const TFormProperty& property) {
    return int(ValueOfKind(property, fvInteger).Integer);
}

bool TFormReader::Boolean(const TFormProperty& property) {
    const UString& name = ValueOfKind(property, fvIdent).Text;
    if (name == u"True") return true;
    if (name == u"False") return false;
    InvalidValue(property);
}

UString TFormReader::String(const TFormProperty& property) { return ValueOfKind(property, fvString).Text; }

UString TFormReader::Ident(const TFormProperty& property) { return ValueOfKind(property, fvIdent).Text; }

const std::vector<uint8_t>& TFormReader::Bytes(const TFormProperty& property) {
    return ValueOfKind(property, fvBytes).Bytes;
}

TColor TFormReader::Color(const TFormProperty& property) {
    if (property.Value.Kind == fvInteger) return TColor(property.Value.Integer);
    return Enum<TColor>(property, {{u"clBtnFace", clBtnFace},
                                   {u"clWindowText", clWindowText},
                                   {u"clWindow", clWindow},
                                   {u"clBlack", clBlack},
                                   {u"clWhite", clWhite}});
}

uint32_t TFormReader::Set(const TFormProperty& property,
                          std::initializer_list<std::pair<const char16_t*, uint32_t>> table) {
    uint32_t bits = 0;
    for (const UString& item : ValueOfKind(property, fvSet).Items) {
        bool known = false;
        for (const auto& [text, bit] : table) {
            if (item == text) {
                bits |= bit;
                known = true;
            }
        }
        if (!known) InvalidValue(property);
    }
    return bits;
}

void TFormReader::ReadFont(TFont& font, const TFormProperty& property) {
    const UString attribute = property.Name.substr(property.Name.find(u'.') + 1);
    if (attribute == u"Name") font.SetName(String(property));
    else if (attribute == u"Height") font.SetHeight(Integer(property));
    else if (attribute == u"Color") font.SetColor(Color(property));
    else if (attribute == u"Charset")
        font.SetCharset(Enum<uint8_t>(property, {{u"DEFAULT_CHARSET", uint8_t(DEFAULT_CHARSET)},
                                                 {u"ANSI_CHARSET", uint8_t(ANSI_CHARSET)},
                                                 {u"ARABIC_CHARSET", uint8_t(ARABIC_CHARSET)}}));
    else if (attribute == u"Style")
        font.SetStyle(TFontStyles(Set(property, {{u"fsBold", fsBold},
                                                 {u"fsItalic", fsItalic},
                                                 {u"fsUnderline", fsUnderline},
                                                 {u"fsStrikeOut", fsStrikeOut}})));
    else UnknownProperty(property);
}

void TFormReader::InvalidValue(const TFormProperty& property) {
    throw EReadError(Format(kInvalidPropertyValue, {property.Name}));
}

void TFormReader::UnknownProperty(const TFormProperty& property) {
    throw EReadError(Format(kPropertyDoesNotExist, {property.Name}));
}

void ReadFormText(TForm& form, std::string_view text) {
    TFormReader reader(form);
    reader.Read(ParseFormText(text));
}

void ReadFormResource(TForm& form) {
    const UString name = form.ClassName();
    const HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(module, W(name), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!resource) throw EReadError(Format(kDefinitionNotFound, {name}));
    HGLOBAL loaded = ::LoadResource(module, resource);
    const auto* data = static_cast<const char*>(::LockResource(loaded));
    const DWORD size = ::SizeofResource(module, resource);
    if (!data) throw EReadError(Format(kDefinitionNotFound, {name}));
    ReadFormText(form, std::string_view(data, size));
}
