// TImportHook points one imported system function of the test executable at
// a replacement for its lifetime, so that a test sees what the program asks
// the system for even where the system (Wine) does not carry it out.
#pragma once

#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>

class TImportHook {
public:
    TImportHook(const char* dll, const char* function, void* replacement) {
        FSlot = FindSlot(dll, function);
        if (FSlot == nullptr) throw std::runtime_error(std::string("the executable does not import ") + function);
        FOriginal = *FSlot;
        Write(replacement);
    }
    ~TImportHook() { Write(FOriginal); }
    TImportHook(const TImportHook&) = delete;
    TImportHook& operator=(const TImportHook&) = delete;

    void* Original() const { return FOriginal; }

private:
    static void** FindSlot(const char* dll, const char* function) {
        auto* base = reinterpret_cast<uint8_t*>(::GetModuleHandleW(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
            if (::lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                    return reinterpret_cast<void**>(&slots->u1.Function);
                }
            }
        }
        return nullptr;
    }
    void Write(void* value) {
        DWORD previous = 0;
        ::VirtualProtect(FSlot, sizeof value, PAGE_READWRITE, &previous);
        *FSlot = value;
        ::VirtualProtect(FSlot, sizeof value, previous, &previous);
    }

    void** FSlot = nullptr;
    void* FOriginal = nullptr;
};

// TLibraryEntryHook answers REPLACEMENT when the program looks FUNCTION up at
// run time (GetProcAddress), as it does for the libraries it loads from the
// system folder only and so never imports; every other look-up goes on to the
// system. One at a time.
class TLibraryEntryHook {
public:
    TLibraryEntryHook(const char* function, void* replacement)
        : FHook("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&Lookup)) {
        State() = {function, replacement, FHook.Original()};
    }
    ~TLibraryEntryHook() { State() = {}; }
    TLibraryEntryHook(const TLibraryEntryHook&) = delete;
    TLibraryEntryHook& operator=(const TLibraryEntryHook&) = delete;

private:
    struct TState {
        const char* Function = nullptr;
        void* Replacement = nullptr;
        void* Original = nullptr;
    };
    static TState& State() {
        static TState state;
        return state;
    }
    static FARPROC WINAPI Lookup(HMODULE module, LPCSTR name) {
        const TState& state = State();
        const bool byName = (reinterpret_cast<UINT_PTR>(name) >> 16) != 0;  // else an ordinal
        FARPROC answer = nullptr;
        if (byName && state.Function && std::strcmp(name, state.Function) == 0) {
            std::memcpy(&answer, &state.Replacement, sizeof answer);
            return answer;
        }
        decltype(&::GetProcAddress) original = nullptr;
        std::memcpy(&original, &state.Original, sizeof original);
        return original(module, name);
    }

    TImportHook FHook;
};
