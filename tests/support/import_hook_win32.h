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
