#include <windows.h>

#include "archive/entry_names.h"
#include "archive/zip_texts.h"
#include "base/win32_handles.h"

UString DecodeEntryName(const TBytes& name, bool utf8) {
    if (name.empty()) return UString();  // MultiByteToWideChar refuses a length of 0
    const UINT codePage = utf8 ? CP_UTF8 : 437;
    CPINFO info{};
    if (!::GetCPInfo(codePage, &info)) throw EEncodingError(UString(kInvalidCodePage));
    const DWORD flags = utf8 ? MB_ERR_INVALID_CHARS : 0;
    const auto* bytes = reinterpret_cast<const char*>(name.data());
    const int size = static_cast<int>(name.size());
    const int length = ::MultiByteToWideChar(codePage, flags, bytes, size, nullptr, 0);
    if (length == 0) throw EEncodingError(UString(kNoUnicodeMapping));
    UString text(static_cast<size_t>(length), u'\0');
    ::MultiByteToWideChar(codePage, flags, bytes, size, reinterpret_cast<wchar_t*>(&text[0]), length);
    return text;
}

UString UpperCaseAsFileSystem(UStringView text) {
    if (text.empty()) return UString();
    const UString source(text);
    UString out(source.size(), u'\0');
    ::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, W(source), static_cast<int>(source.size()),
                   reinterpret_cast<wchar_t*>(&out[0]), static_cast<int>(out.size()));
    return out;
}
