#include "toolkit/Component.h"

#include <algorithm>

namespace tarnwick {

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
    if (FOwner) {
        FOwner->FComponents.push_back(this);
    }
}

TComponent::~TComponent() {
    // Free what is still owned, newest first; each one takes itself out of FComponents.
    while (!FComponents.empty()) {
        TComponent* component = FComponents.back();
        if (component->FHolder) {
            component->FHolder->Reset();
        } else {
            // Held some other way (a member of a derived object would already be gone): just let go.
            component->FOwner = nullptr;
            FComponents.pop_back();
        }
    }
    if (FOwner) {
        auto& siblings = FOwner->FComponents;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

TComponentHolder::TComponentHolder(std::unique_ptr<TComponent> Component) noexcept
    : FComponent(std::move(Component)) {
    if (FComponent) {
        FComponent->FHolder = this;
    }
}

TComponentHolder::TComponentHolder(TComponentHolder&& Other) noexcept
    : FComponent(std::move(Other.FComponent)) {
    if (FComponent) {
        FComponent->FHolder = this;
    }
}

TComponentHolder& TComponentHolder::operator=(TComponentHolder&& Other) noexcept {
    if (this != &Other) {
        Reset();
        FComponent = std::move(Other.FComponent);
        if (FComponent) {
            FComponent->FHolder = this;
        }
    }
    return *this;
}

TComponentHolder::~TComponentHolder() {
    Reset();
}

void TComponentHolder::Reset() noexcept {
    if (FComponent) {
        FComponent->FHolder = nullptr;
        FComponent.reset();
    }
}

} // namespace tarnwick
