// ExpectRaises checks that body throws exactly class E (not a subclass) with
// exactly the given message: the texts are what the user reads.
#pragma once

#include <gtest/gtest.h>

#include <typeinfo>

#include "base/exception.h"

template <class E, class Body>
void ExpectRaises(Body&& body, const UString& message) {
    try {
        body();
    } catch (const Exception& e) {
        EXPECT_EQ(typeid(e), typeid(E)) << "raised " << typeid(e).name() << ": " << e.what();
        EXPECT_EQ(ToUtf8(e.Message()), ToUtf8(message));
        return;
    }
    ADD_FAILURE() << "nothing was raised; expected " << typeid(E).name() << ": " << ToUtf8(message);
}
