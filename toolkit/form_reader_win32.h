// TFormReader builds a form from its window definition: it creates the
// controls in the order the definition lists them, sets the properties it
// names (everything else keeps its class default), binds handlers by name and
// finally runs Loaded on everything it created.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "toolkit/control_win32.h"
#include "toolkit/form_text.h"

class TForm;

// TFieldBinding ties a control named in a definition to the form's field for it.
struct TFieldBinding {
    UString Name;
    UString ClassName;
    std::function<TControl*(TComponent* owner)> Create;
};

// Field binds a named control of class T to a field of the form.
template <class T>
TFieldBinding Field(const char16_t* name, T*& field) {
    return {name, T::kClassName, [&field](TComponent* owner) -> TControl* {
                field = owner->CreateOwned<T>();
                return field;
            }};
}

using TMethod = std::variant<TNotifyEvent, TMouseEvent, TCloseEvent>;

// TMethodBinding ties a handler name in a definition to a handler of the form.
struct TMethodBinding {
    UString Name;
    TMethod Method;
};

template <class F>
TMethodBinding Method(const char16_t* name, F* self, void (F::*handler)(TObject*)) {
    return {name, TNotifyEvent([self, handler](TObject* sender) { (self->*handler)(sender); })};
}
template <class F>
TMethodBinding Method(const char16_t* name, F* self,
                      void (F::*handler)(TObject*, TMouseButton, TShiftState, int, int)) {
    return {name, TMouseEvent([self, handler](TObject* sender, TMouseButton button, TShiftState shift, int x,
                                              int y) { (self->*handler)(sender, button, shift, x, y); })};
}
template <class F>
TMethodBinding Method(const char16_t* name, F* self, void (F::*handler)(TObject*, TCloseAction&)) {
    return {name, TCloseEvent([self, handler](TObject* sender, TCloseAction& action) {
                (self->*handler)(sender, action);
            })};
}

class TFormReader {
public:
    explicit TFormReader(TForm& root);

    // Read applies a parsed definition to the form; its root class must be the form's.
    void Read(const TFormObject& definition);

    // The handler a property names, checked against the event's kind.
    TNotifyEvent NotifyEvent(const TFormProperty& property) const;
    TMouseEvent MouseEvent(const TFormProperty& property) const;
    TCloseEvent CloseEvent(const TFormProperty& property) const;

    // Typed access to property values; a value of the wrong kind raises EReadError.
    static int Integer(const TFormProperty& property);
    static bool Boolean(const TFormProperty& property);
    static UString String(const TFormProperty& property);
    static UString Ident(const TFormProperty& property);
    static const std::vector<uint8_t>& Bytes(const TFormProperty& property);
    static TColor Color(const TFormProperty& property);
    // Enum maps an identifier through a table of names.
    template <class E>
    static E Enum(const TFormProperty& property, std::initializer_list<std::pair<const char16_t*, E>> table) {
        const UString name = Ident(property);
        for (const auto& [text, value] : table)
            if (name == text) return value;
        InvalidValue(property);
    }
    // Set maps a set of identifiers to the bits of a table.
    static uint32_t Set(const TFormProperty& property,
                        std::initializer_list<std::pair<const char16_t*, uint32_t>> table);
    // ReadFont sets the font attribute named after "Font." (or any "X.").
    static void ReadFont(TFont& font, const TFormProperty& property);
    [[noreturn]] static void InvalidValue(const TFormProperty& property);
    [[noreturn]] static void UnknownProperty(const TFormProperty& property);

private:
    TControl* CreateChild(const TFormObject& definition, TWinControl& parent);
    void ReadProperties(TControl& control, const TFormObject& definition);
    const TMethod& FindMethod(const TFormProperty& property) const;

    TForm& FRoot;
    std::vector<TFieldBinding> FFields;
    std::vector<TMethodBinding> FMethods;
    std::vector<TControl*> FLoaded;  // we don't own them: the form does
};

// ReadFormText parses a definition and reads it into the form.
void ReadFormText(TForm& form, std::string_view text);
// ReadFormResource reads the definition stored as RCDATA under the form's class name.
void ReadFormResource(TForm& form);
