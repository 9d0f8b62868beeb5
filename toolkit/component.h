// TComponent is the base of everything a window definition creates: it has a
// name, an owner that frees it, and a state that tells whether it is being read,
// loaded or destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "base/text.h"

// Component state flags, combined in a TComponentState.
enum TComponentStateFlag : uint8_t {
    csLoading = 1,     // created from a definition, Loaded not yet run
    csReading = 2,     // its properties are being read right now
    csDestroying = 4,  // its destructor has started
};
using TComponentState = uint8_t;

class TObject {
public:
    virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner) : FOwner(owner) {}
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // ClassName is the name under which definitions and window classes know it.
    virtual UString ClassName() const = 0;

    TComponent* Owner() const { return FOwner; }
    const UString& Name() const { return FName; }
    void SetName(UString name) { FName = std::move(name); }

    TComponentState ComponentState() const { return FState; }
    bool InState(TComponentStateFlag flag) const { return (FState & flag) != 0; }
    void IncludeState(TComponentStateFlag flag) { FState = TComponentState(FState | flag); }
    void ExcludeState(TComponentStateFlag flag) { FState = TComponentState(FState & ~flag); }

    // Loaded runs once the whole definition that created the component is read.
    virtual void Loaded() { ExcludeState(csLoading); }

    // CreateOwned makes a component owned by this one; it lives until this one dies.
    template <class T, class... Args>
    T* CreateOwned(Args&&... args) {
        auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = component.get();
        FComponents.push_back(std::move(component));
        return raw;
    }
    size_t ComponentCount() const { return FComponents.size(); }
    TComponent* Components(size_t index) const { return FComponents[index].get(); }
    TComponent* FindComponent(UStringView name) const;

    // Destroying marks this component and everything it owns as being destroyed,
    // so that nothing repaints or notifies while the tree comes down.
    void Destroying();

protected:
    // DestroyComponents frees the owned components, newest first.
    void DestroyComponents();

private:
    TComponent* FOwner;  // we don't own it
    UString FName;
    TComponentState FState = 0;
    std::vector<std::unique_ptr<TComponent>> FComponents;
};
