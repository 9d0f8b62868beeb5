// Owning wrappers for Win32 handles. Each kind states its own invalid value
// (CreateFileW fails with INVALID_HANDLE_VALUE, GDI calls with NULL). Copying is
// deleted, so a handle cannot be closed twice.
#pragma once

#include <windows.h>

#include <utility>

#include "base/text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

// W views UTF-16 text as the wide string the W APIs take.
inline const wchar_t* W(const UString& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline UString FromW(const wchar_t* text) { return UString(reinterpret_cast<const char16_t*>(text)); }
inline UString FromW(const wchar_t* text, size_t length) {
    return UString(reinterpret_cast<const char16_t*>(text), length);
}

template <class Traits>
class TUnique {
public:
    using Handle = typename Traits::Handle;
    TUnique() = default;
    explicit TUnique(Handle h) : FHandle(h) {}
    TUnique(TUnique&& o) noexcept : FHandle(o.Release()) {}
    TUnique& operator=(TUnique&& o) noexcept {
        Reset(o.Release());
        return *this;
    }
    TUnique(const TUnique&) = delete;
    TUnique& operator=(const TUnique&) = delete;
    ~TUnique() { Reset(); }

    Handle Get() const { return FHandle; }
    bool Valid() const { return FHandle != Traits::Invalid(); }
    Handle Release() { return std::exchange(FHandle, Traits::Invalid()); }
    void Reset(Handle h = Traits::Invalid()) {
        if (Valid()) Traits::Close(FHandle);
        FHandle = h;
    }

private:
    Handle FHandle = Traits::Invalid();
};

struct TFileTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct TFindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};
struct TDCTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};
struct TGdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
struct TBitmapTraits {
    using Handle = HBITMAP;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
struct TFontTraits {
    using Handle = HFONT;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};

struct TIconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};

struct TModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};

struct TLocalTraits {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};

struct THookTraits {
    using Handle = HHOOK;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::UnhookWindowsHookEx(h); }
};

using TUniqueFile = TUnique<TFileTraits>;
using TUniqueFind = TUnique<TFindTraits>;
using TUniqueDC = TUnique<TDCTraits>;
using TUniqueGdiObject = TUnique<TGdiObjectTraits>;
using TUniqueBitmap = TUnique<TBitmapTraits>;
using TUniqueFont = TUnique<TFontTraits>;
using TUniqueIcon = TUnique<TIconTraits>;
using TUniqueModule = TUnique<TModuleTraits>;
// TUniqueLocal frees memory the system allocated for us with LocalAlloc
// (FormatMessageW's buffer, CommandLineToArgvW's array).
using TUniqueLocal = TUnique<TLocalTraits>;
using TUniqueHook = TUnique<THookTraits>;

// TComPtr holds one reference of a COM interface.
template <class T>
class TComPtr {
public:
    TComPtr() = default;
    ~TComPtr() {
        if (FPointer) FPointer->Release();
    }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    T* operator->() const { return FPointer; }
    T* Get() const { return FPointer; }
    T** Receive() { return &FPointer; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(&FPointer); }

private:
    T* FPointer = nullptr;
};

// TWindowDC borrows a window's device context for one scope (GetDC / ReleaseDC).
class TWindowDC {
public:
    explicit TWindowDC(HWND wnd) : FWnd(wnd), FDC(::GetDC(wnd)) {}
    ~TWindowDC() {
        if (FDC) ::ReleaseDC(FWnd, FDC);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return FDC; }

private:
    HWND FWnd;  // we don't own it
    HDC FDC;
};

// TDCSetting changes one setting of a DC for one scope through its Set call,
// which returns the old setting (0 on failure), and puts the old one back.
template <class Value, Value(WINAPI* Set)(HDC, Value)>
class TDCSetting {
public:
    TDCSetting(HDC dc, Value value) : FDC(dc), FOld(Set(dc, value)) {}
    ~TDCSetting() {
        if (FOld) Set(FDC, FOld);
    }
    TDCSetting(const TDCSetting&) = delete;
    TDCSetting& operator=(const TDCSetting&) = delete;

private:
    HDC FDC;  // we don't own it
    Value FOld;
};

// TSelectedObject selects an object into a DC and puts the old one back.
using TSelectedObject = TDCSetting<HGDIOBJ, ::SelectObject>;
// TStretchBltMode sets a DC's stretch mode and puts the old one back.
using TStretchBltMode = TDCSetting<int, ::SetStretchBltMode>;

// TPaintDC wraps BeginPaint and EndPaint.
class TPaintDC {
public:
    explicit TPaintDC(HWND wnd) : FWnd(wnd) { FDC = ::BeginPaint(wnd, &FPaint); }
    ~TPaintDC() { ::EndPaint(FWnd, &FPaint); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    HDC Get() const { return FDC; }
    const RECT& Area() const { return FPaint.rcPaint; }

private:
    HWND FWnd;  // we don't own it
    PAINTSTRUCT FPaint{};
    HDC FDC = nullptr;
};
