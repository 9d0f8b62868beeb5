// Exception is the base of every error this system raises. Each kind of error
// has its own class with a fixed English message; the default error display
// shows the message, so the texts are part of the behaviour.
#pragma once

#include <exception>
#include <memory>
#include <string>

#include "toolkit/text.h"

class Exception : public std::exception {
public:
    explicit Exception(UString message) : FMessage(std::move(message)), FWhat(ToUtf8(FMessage)) {}
    Exception(UString message, std::shared_ptr<const Exception> inner)
        : FMessage(std::move(message)), FWhat(ToUtf8(FMessage)), FInner(std::move(inner)) {}

    const UString& Message() const { return FMessage; }
    // InnerException is the error this one wraps, if any.
    const Exception* InnerException() const { return FInner.get(); }
    // what() is a UTF-8 copy for tests and debuggers; users see Message().
    const char* what() const noexcept override { return FWhat.c_str(); }

private:
    UString FMessage;
    std::string FWhat;
    std::shared_ptr<const Exception> FInner;
};

#define KELVO_EXCEPTION_CLASS(Name, Base)    \
    class Name : public Base {               \
    public:                                  \
        using Base::Base;                    \
    }

// Streams and files.
KELVO_EXCEPTION_CLASS(EStreamError, Exception);
KELVO_EXCEPTION_CLASS(EFileStreamError, EStreamError);
KELVO_EXCEPTION_CLASS(EFOpenError, EFileStreamError);
KELVO_EXCEPTION_CLASS(EFCreateError, EFileStreamError);
KELVO_EXCEPTION_CLASS(EReadError, EStreamError);
KELVO_EXCEPTION_CLASS(EWriteError, EStreamError);
// Archive and decompression.
KELVO_EXCEPTION_CLASS(EZipException, Exception);
KELVO_EXCEPTION_CLASS(EZDecompressionError, Exception);
KELVO_EXCEPTION_CLASS(EListError, Exception);
KELVO_EXCEPTION_CLASS(EEncodingError, Exception);
// Paths.
KELVO_EXCEPTION_CLASS(EArgumentException, Exception);
KELVO_EXCEPTION_CLASS(EPathTooLongException, Exception);
KELVO_EXCEPTION_CLASS(ENotSupportedException, Exception);
KELVO_EXCEPTION_CLASS(EDirectoryNotFoundException, Exception);
// Operating system and resources.
KELVO_EXCEPTION_CLASS(EOSError, Exception);
KELVO_EXCEPTION_CLASS(EOutOfResources, Exception);
// The text of EOutOfResources, wherever drawing cannot get a bitmap or a
// drawing context.
constexpr char16_t kOutOfResources[] =
    u"Some operation could not be performed because the system is out of resources. Close some windows and try "
    u"again.";
// Pictures.
KELVO_EXCEPTION_CLASS(EInvalidGraphic, Exception);
// Window definitions.
KELVO_EXCEPTION_CLASS(EParserError, Exception);
// The silent abort: the error display shows nothing for it.
KELVO_EXCEPTION_CLASS(EAbort, Exception);

#undef KELVO_EXCEPTION_CLASS
