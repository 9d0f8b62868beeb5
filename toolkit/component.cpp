#include "toolkit/component.h"

TComponent::~TComponent() {
    Destroying();
    DestroyComponents();
}

TComponent* TComponent::FindComponent(UStringView name) const {
    for (const auto& component : FComponents)
        if (component->Name() == name) return component.get();
    return nullptr;
}

void TComponent::Destroying() {
    if (InState(csDestroying)) return;
    IncludeState(csDestroying);
    for (const auto& component : FComponents) component->Destroying();
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) FComponents.pop_back();
}
