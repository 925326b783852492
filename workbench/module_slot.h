#pragma once
#include <memory>

namespace pelk {

// The workbench's reference to the module object of one class it created last. Creating a new
// object repoints the reference; "close" only ends the workbench's use (the object stays alive
// and readable until the program ends), "free" destroys it at once. The earlier object a new
// one replaces is never looked at again, so it is released then.
template <class Module>
class ModuleSlot {
 public:
  enum class State { None, Open, Closed, Freed };

  Module& create() {
    object_ = std::make_unique<Module>();
    state_ = State::Open;
    ++created_;
    return *object_;
  }
  void close() { state_ = State::Closed; }
  void free() {
    object_.reset();
    state_ = State::Freed;
  }

  Module* get() const { return object_.get(); }
  State state() const { return state_; }
  int createdCount() const { return created_; }

 private:
  std::unique_ptr<Module> object_;
  State state_ = State::None;
  int created_ = 0;
};

}  // namespace pelk
