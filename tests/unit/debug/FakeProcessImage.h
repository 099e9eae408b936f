#pragma once
// A process image in memory for the debug unit's tests: a small 64-bit PE image with an import table,
// and a platform that answers from it and records the calls it gets.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ProcessImagePlatform.h"

namespace tarnwick::testing {

// Builds the headers and import table of a 64-bit PE image, enough for an import-table walk.
class TPeImageBuilder {
public:
    struct TImport {
        std::string Library;
        std::vector<std::uint64_t> Entries; // the import address table, without its closing zero
    };

    TPeImageBuilder& Import(std::string library, std::vector<std::uint64_t> entries) {
        FImports.push_back({std::move(library), std::move(entries)});
        return *this;
    }

    // The image; ThunkOffsets()[i][k] is where entry k of import i lies in it.
    std::vector<std::uint8_t> Build() {
        constexpr std::size_t ntOffset = 0x80;
        constexpr std::size_t descriptorsOffset = 0x200;
        const std::size_t namesOffset = descriptorsOffset + 20 * (FImports.size() + 1);
        std::size_t offset = namesOffset;
        std::vector<std::size_t> nameOffsets;
        for (const TImport& import : FImports) {
            nameOffsets.push_back(offset);
            offset += import.Library.size() + 1;
        }
        offset = (offset + 7) & ~std::size_t(7);
        FThunkOffsets.clear();
        for (const TImport& import : FImports) {
            std::vector<std::size_t> thunks;
            for (std::size_t k = 0; k < import.Entries.size(); ++k) {
                thunks.push_back(offset + 8 * k);
            }
            FThunkOffsets.push_back(std::move(thunks));
            offset += 8 * (import.Entries.size() + 1);
        }
        std::vector<std::uint8_t> image(offset + 64, 0);
        Put<std::uint16_t>(image, 0, 0x5A4D);
        Put<std::int32_t>(image, 0x3C, ntOffset);
        Put<std::uint32_t>(image, ntOffset, 0x00004550);
        Put<std::uint16_t>(image, ntOffset + 4, 0x8664); // machine
        Put<std::uint16_t>(image, ntOffset + 20, 240);   // size of the optional header
        Put<std::uint16_t>(image, ntOffset + 24, 0x20B); // 64-bit optional header
        Put<std::uint32_t>(image, ntOffset + 24 + 112 + 8, FImports.empty() ? 0 : descriptorsOffset);
        Put<std::uint32_t>(image, ntOffset + 24 + 112 + 12, 20 * (FImports.size() + 1));
        for (std::size_t i = 0; i < FImports.size(); ++i) {
            const std::size_t descriptor = descriptorsOffset + 20 * i;
            Put<std::uint32_t>(image, descriptor + 12, nameOffsets[i]);
            Put<std::uint32_t>(image, descriptor + 16, FThunkOffsets[i].empty() ? 0 : FThunkOffsets[i][0]);
            std::memcpy(image.data() + nameOffsets[i], FImports[i].Library.c_str(),
                        FImports[i].Library.size() + 1);
            for (std::size_t k = 0; k < FImports[i].Entries.size(); ++k) {
                Put<std::uint64_t>(image, FThunkOffsets[i][k], FImports[i].Entries[k]);
            }
        }
        return image;
    }

    const std::vector<std::vector<std::size_t>>& ThunkOffsets() const { return FThunkOffsets; }

    template <typename T> static void Put(std::vector<std::uint8_t>& image, std::size_t offset, T value) {
        std::memcpy(image.data() + offset, &value, sizeof value);
    }
    template <typename T> static T Get(const std::vector<std::uint8_t>& image, std::size_t offset) {
        T value;
        std::memcpy(&value, image.data() + offset, sizeof value);
        return value;
    }

private:
    std::vector<TImport> FImports;
    std::vector<std::vector<std::size_t>> FThunkOffsets;
};

// The process as the debug unit sees it: the image above as the executable, a kernel32 exporting a chosen
// RaiseException, memory writes into the image, and a recorded exception-handler registration.
class TFakeProcessImage : public IProcessImagePlatform {
public:
    static constexpr HPROCESS_T CurrentProcess = ~HPROCESS_T(0);
    static constexpr HMODULE_T KernelModule = 0x7FF000000000;

    struct TWrite {
        HPROCESS_T Process;
        std::uintptr_t Address;
        std::uint64_t Value;
        std::size_t Size;
    };
    struct TRegistration {
        std::uint32_t First;
        TVectoredExceptionHandler Handler;
    };

    std::vector<std::uint8_t> Image;
    std::u16string ExecutablePath = u"C:\\Program Files\\Tarnwick\\tarnwick.exe";
    bool KernelLoaded = true;
    std::uintptr_t RaiseExceptionAddress = 0;
    bool HeadersReadable = true;
    bool NtHeadersReadable = true;
    // Answers for the writes in order (true: written in full); once used up, every write succeeds.
    std::vector<std::function<bool(std::size_t& written)>> WriteAnswers;
    std::vector<TWrite> Writes;
    std::vector<TRegistration> Registrations;
    std::vector<void*> Removals;
    std::vector<std::uintptr_t> Frames; // what a stack capture finds, innermost first
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Captures; // (skip, capture) of each capture
    std::function<void()> DuringCapture;                           // runs within the next capture only

    std::uintptr_t Base() const { return reinterpret_cast<std::uintptr_t>(Image.data()); }
    std::uint64_t Entry(std::size_t offset) const {
        return TPeImageBuilder::Get<std::uint64_t>(Image, offset);
    }

    std::uint32_t GetModuleFileNameW(HMODULE_T hModule, char16_t* lpFilename, std::uint32_t nSize) override {
        if (hModule != 0 || nSize == 0) {
            return 0;
        }
        const std::size_t length = std::min<std::size_t>(ExecutablePath.size(), nSize);
        std::copy_n(ExecutablePath.begin(), length, lpFilename);
        if (length < nSize) {
            lpFilename[length] = u'\0';
        } else {
            lpFilename[nSize - 1] = u'\0';
        }
        return static_cast<std::uint32_t>(length);
    }
    HMODULE_T GetModuleHandleW(const char16_t* lpModuleName) override {
        if (lpModuleName == nullptr) {
            return Base();
        }
        return KernelLoaded && std::u16string_view(lpModuleName) == u"kernel32.dll" ? KernelModule : 0;
    }
    std::uintptr_t GetProcAddress(HMODULE_T hModule, const char* lpProcName) override {
        return hModule == KernelModule && std::string_view(lpProcName) == "RaiseException"
                   ? RaiseExceptionAddress
                   : 0;
    }
    bool IsBadReadPtr(std::uintptr_t lp, std::size_t ucb) override {
        if (lp == Base()) {
            return !HeadersReadable;
        }
        if (lp != Base() + 0x80) {
            return true;
        }
        return !NtHeadersReadable || lp + ucb > Base() + Image.size();
    }
    HPROCESS_T GetCurrentProcess() override { return CurrentProcess; }
    bool WriteProcessMemory(HPROCESS_T hProcess, std::uintptr_t lpBaseAddress, const void* lpBuffer,
                            std::size_t nSize, std::size_t* lpNumberOfBytesWritten) override {
        std::uint64_t value = 0;
        std::memcpy(&value, lpBuffer, std::min(nSize, sizeof value));
        Writes.push_back({hProcess, lpBaseAddress, value, nSize});
        std::size_t written = nSize;
        bool succeeded = true;
        if (Writes.size() <= WriteAnswers.size()) {
            succeeded = WriteAnswers[Writes.size() - 1](written);
        }
        if (written > 0) {
            std::memcpy(reinterpret_cast<void*>(lpBaseAddress), lpBuffer, written);
        }
        *lpNumberOfBytesWritten = written;
        return succeeded;
    }
    void* AddVectoredExceptionHandler(std::uint32_t First, TVectoredExceptionHandler Handler) override {
        Registrations.push_back({First, Handler});
        return &Registrations;
    }
    std::uint32_t RemoveVectoredExceptionHandler(void* Handle) override {
        Removals.push_back(Handle);
        return 1;
    }
    std::uint16_t RtlCaptureStackBackTrace(std::uint32_t FramesToSkip, std::uint32_t FramesToCapture,
                                           void** BackTrace, std::uint32_t* /*BackTraceHash*/) override {
        Captures.emplace_back(FramesToSkip, FramesToCapture);
        if (DuringCapture) {
            const auto during = std::exchange(DuringCapture, nullptr);
            during();
        }
        const std::size_t count = std::min<std::size_t>(Frames.size(), FramesToCapture);
        for (std::size_t i = 0; i < count; ++i) {
            BackTrace[i] = reinterpret_cast<void*>(Frames[i]);
        }
        return static_cast<std::uint16_t>(count);
    }
};

} // namespace tarnwick::testing
