// Text as the system holds it: UTF-16 everywhere, with one formatting helper
// for the "%s" messages and the conversions that tests and consoles need.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

using UString = std::u16string;
using UStringView = std::u16string_view;

// Format replaces each "%s" in pattern, left to right, by the next argument.
// Surplus placeholders stay as they are; surplus arguments are ignored.
UString Format(UStringView pattern, std::initializer_list<UStringView> args);

// ToUtf8 converts UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(UStringView text);

// FromUtf8 converts UTF-8 to UTF-16; invalid sequences become U+FFFD.
UString FromUtf8(std::string_view text);

// AsciiLower lower-cases the letters A to Z only.
UString AsciiLower(UStringView text);
