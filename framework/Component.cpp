#include "framework/Component.h"

#include <algorithm>

namespace {
void Erase(std::vector<TComponent*>& list, TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) {
    owner_->components_.push_back(this);
    owner_->Notification(this, opInsert);
  }
}

TComponent::~TComponent() {
  NotifyDestruction();
  DestroyComponents();
  if (owner_) owner_->Remove(this);
}

void TComponent::NotifyDestruction() {
  // Linked components forget this one before it goes.
  std::vector<TComponent*> linked;
  linked.swap(freeNotifies_);
  for (TComponent* other : linked) {
    Erase(other->freeNotifies_, this);
    other->Notification(this, opRemove);
  }
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    Notification(last, opRemove);
    delete last;
  }
}

void TComponent::Remove(TComponent* child) {
  Erase(components_, child);
  child->owner_ = nullptr;
  Notification(child, opRemove);
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end())
    freeNotifies_.push_back(other);
  if (std::find(other->freeNotifies_.begin(), other->freeNotifies_.end(), this) ==
      other->freeNotifies_.end())
    other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  Erase(freeNotifies_, other);
  Erase(other->freeNotifies_, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) Erase(freeNotifies_, component);
  for (TComponent* c : components_)
    if (c != component) c->Notification(component, operation);
}
