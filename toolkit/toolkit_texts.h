// Every error class and text of the GUI toolkit. "%s" is filled in through Format.
#pragma once

#include "base/exception.h"
#include "base/text.h"

// Drawing that cannot get a bitmap or a drawing context.
KELVO_EXCEPTION_CLASS(EOutOfResources, Exception);
// A window definition's text that does not parse.
KELVO_EXCEPTION_CLASS(EParserError, Exception);
// The silent abort: the error display shows nothing for it.
KELVO_EXCEPTION_CLASS(EAbort, Exception);

inline constexpr UStringView kOutOfResources =
    u"Some operation could not be performed because the system is out of resources. Close some windows and try "
    u"again.";

// The definition text's syntax (EParserError): the line number and what is wrong there.
inline constexpr UStringView kSyntaxError = u"Line %s: %s";

// Reading a parsed definition into a form and its controls (EReadError).
inline constexpr UStringView kPropertyDoesNotExist = u"Property %s does not exist";
inline constexpr UStringView kInvalidPropertyValue = u"Invalid property value: %s";
inline constexpr UStringView kFieldNotFound = u"Field %s not found";
inline constexpr UStringView kClassMismatch = u"Field %s is not of class %s";
inline constexpr UStringView kMethodNotFound = u"Method %s not found";
inline constexpr UStringView kMethodKind = u"Method %s does not fit %s";
inline constexpr UStringView kDefinitionNotFound = u"Resource %s not found";
// A definition's icon file that is not one, or whose image the system cannot make (EReadError).
inline constexpr UStringView kCannotReadIcon = u"Invalid icon data";

// Windows that the system refuses to create (EOSError), with the system's text.
inline constexpr UStringView kCannotCreateWindow = u"Error creating window: %s";
inline constexpr UStringView kCannotRegisterClass = u"Error creating window class: %s";

// The error display's text for an error that is not an exception of ours or of the library.
inline constexpr UStringView kUnknownError = u"Unknown error.";
