#include "framework/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Records its destruction and the removals it hears of.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string name, std::vector<std::string>& log)
      : TComponent(owner), log_(log) {
    Name = std::move(name);
  }
  ~Probe() override { log_.push_back("free " + Name); }
  TComponent* link = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == link) {
      log_.push_back(Name + " forgets " + c->Name);
      link = nullptr;
    }
  }

 private:
  std::vector<std::string>& log_;
};
}  // namespace

TEST(Component, OwnerFreesWhatItOwnsLastFirst) {
  std::vector<std::string> log;
  auto* owner = new Probe(nullptr, "form", log);
  auto* a = new Probe(owner, "a", log);
  new Probe(owner, "b", log);
  new Probe(a, "a1", log);
  a->Tag = 42;
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(a->Owner(), owner);
  EXPECT_EQ(a->Tag, 42);
  delete owner;
  // Each destructor body runs before the owned components go: b was made last, so it goes first.
  EXPECT_EQ(log, (std::vector<std::string>{"free form", "free b", "free a", "free a1"}));
}

TEST(Component, FreedComponentLeavesItsOwner) {
  std::vector<std::string> log;
  Probe owner(nullptr, "form", log);
  auto* a = new Probe(&owner, "a", log);
  auto* b = new Probe(&owner, "b", log);
  // A sibling hears of the removal through the owner, without any link of its own.
  b->link = a;
  delete a;
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(b->link, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"free a", "b forgets a"}));
}

TEST(Component, FreeNotificationReachesComponentsOfOtherOwners) {
  std::vector<std::string> log;
  Probe left(nullptr, "left", log), right(nullptr, "right", log);
  auto* list = new Probe(&left, "list", log);
  auto* combo = new Probe(&right, "combo", log);
  list->link = combo;
  combo->link = list;
  combo->FreeNotification(list);
  delete combo;
  EXPECT_EQ(list->link, nullptr);
  // The link went both ways and is gone on both sides: freeing the list tells nobody.
  log.clear();
  delete list;
  EXPECT_EQ(log, (std::vector<std::string>{"free list"}));
}

TEST(Component, RemovedFreeNotificationIsNotSent) {
  std::vector<std::string> log;
  auto* a = new Probe(nullptr, "a", log);
  Probe b(nullptr, "b", log);
  b.link = a;
  a->FreeNotification(&b);
  a->RemoveFreeNotification(&b);
  delete a;
  EXPECT_EQ(b.link, a);  // never told
}
