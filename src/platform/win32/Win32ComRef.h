#pragma once
// A COM interface pointer that releases its reference when it goes.

namespace tarnwick::win32 {

template <class T> class TComRef {
public:
    TComRef() = default;
    ~TComRef() {
        if (FPointer) {
            FPointer->Release();
        }
    }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;
    T** Out() noexcept { return &FPointer; }
    T* operator->() const noexcept { return FPointer; }
    T* Get() const noexcept { return FPointer; }

private:
    T* FPointer = nullptr;
};

} // namespace tarnwick::win32
