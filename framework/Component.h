// Components: an owner frees what it owns, every component carries a Tag, and a component that
// links to another asks to be told when that one goes (free notification).
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

enum TOperation { opInsert, opRemove };

// An operation that cannot be done in the component's state (raised to the caller).
class EInvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TComponent {
 public:
  // Owned by the owner when one is given; the owner frees it, last created first.
  explicit TComponent(TComponent* owner = nullptr);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  virtual ~TComponent();

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int i) const { return components_[static_cast<size_t>(i)]; }
  // Frees every owned component, last created first.
  void DestroyComponents();

  // other hears Notification(this, opRemove) when this component is destroyed, and the
  // other way round: links are kept on both sides so neither outlives the other's pointer.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // Called once the component and its siblings exist (a form calls it on everything it owns
  // when its construction is complete).
  virtual void Loaded() {}

  std::string Name;
  intptr_t Tag = 0;

 protected:
  // A component this one is linked to, or one of its owner's components, is going. The default
  // hands the news on to every owned component.
  virtual void Notification(TComponent* component, TOperation operation);
  // Tells the linked components now that this one is going (a window does it before its window
  // goes); the destructor does it for the rest.
  void NotifyDestruction();

 private:
  void Remove(TComponent* child);
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};
