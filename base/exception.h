// Exception is the base of every error this system raises. Each kind of error
// has its own class with a fixed English message; the default error display
// shows the message, so the texts are part of the behaviour. Each subsystem
// declares its own classes at the top of its texts header.
#pragma once

#include <exception>
#include <memory>
#include <string>

#include "base/text.h"

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

// KELVO_EXCEPTION_CLASS declares an error class that carries only its message.
#define KELVO_EXCEPTION_CLASS(Name, Base) \
    class Name : public Base {            \
    public:                               \
        using Base::Base;                 \
    }
