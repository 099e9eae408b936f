#pragma once
// The toolkit's component model: a component may have an owner, and an owner frees the components it
// still owns when it goes. Each component is held by a TOwned handle (RAII); freeing it earlier through
// the handle takes it out of its owner, and an owner freeing it empties the handle.

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tarnwick {

class TComponent;
class TComponentHolder;

// A notification event: a handler taking the sender.
using TNotifyEvent = std::function<void(TComponent& Sender)>;

class TComponent {
public:
    explicit TComponent(TComponent* AOwner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const noexcept { return FOwner; }
    std::size_t ComponentCount() const noexcept { return FComponents.size(); }
    TComponent& Components(std::size_t Index) const { return *FComponents.at(Index); }

private:
    friend class TComponentHolder;
    TComponent* FOwner;
    std::vector<TComponent*> FComponents; // not owned here: each one's holder owns it
    TComponentHolder* FHolder = nullptr;
};

// Owns one component; the base of TOwned<T>.
class TComponentHolder {
public:
    TComponentHolder() noexcept = default;
    explicit TComponentHolder(std::unique_ptr<TComponent> Component) noexcept;
    TComponentHolder(TComponentHolder&& Other) noexcept;
    TComponentHolder& operator=(TComponentHolder&& Other) noexcept;
    ~TComponentHolder();

    // Frees the component now (it leaves its owner); the holder is empty afterwards.
    void Reset() noexcept;
    explicit operator bool() const noexcept { return FComponent != nullptr; }

protected:
    TComponent* Get() const noexcept { return FComponent.get(); }

private:
    std::unique_ptr<TComponent> FComponent;
};

template <class T> class TOwned : public TComponentHolder {
public:
    TOwned() noexcept = default;
    explicit TOwned(std::unique_ptr<T> Component) noexcept : TComponentHolder(std::move(Component)) {}
    T* get() const noexcept { return static_cast<T*>(Get()); }
    T* operator->() const noexcept { return get(); }
    T& operator*() const noexcept { return *get(); }
};

// Creates a component; its constructor takes the owner among Args.
template <class T, class... Args> TOwned<T> MakeComponent(Args&&... args) {
    return TOwned<T>(std::make_unique<T>(std::forward<Args>(args)...));
}

} // namespace tarnwick
