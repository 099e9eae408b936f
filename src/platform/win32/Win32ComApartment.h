#pragma once
// This thread's COM apartment for an adapter whose calls need it, entered at the first such call rather
// than at start: a program resting in the tray makes no COM object.

namespace tarnwick::win32 {

class TComApartment {
public:
    TComApartment() = default;
    ~TComApartment();
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;

    // Enters the single-threaded apartment once; the entry is left when this object goes. An apartment of
    // another kind entered before stays as it is, and the calls go on in it.
    void Enter() noexcept;

private:
    bool FTried = false;
    bool FEntered = false;
};

} // namespace tarnwick::win32
