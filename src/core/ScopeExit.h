#pragma once
// Runs an action when the scope it was made in ends, however it ends (a return or an exception): a flag
// set back, a reference let go, a claim taken again.

#include <utility>

namespace tarnwick {

template <class F> class [[nodiscard]] TScopeExit {
public:
    explicit TScopeExit(F Action) : FAction(std::move(Action)) {}
    ~TScopeExit() {
        if (FArmed) {
            FAction();
        }
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    // The action is not to run after all.
    void Dismiss() noexcept { FArmed = false; }

private:
    F FAction;
    bool FArmed = true;
};

} // namespace tarnwick
