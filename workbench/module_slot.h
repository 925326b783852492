#pragma once
#include <memory>

namespace pelk {

// The state a module class keeps from one object to the next, where it keeps any.
template <class Module>
struct SharedStateOf {
  struct type {
    void reset() {}
  };
};
template <class Module>
requires requires { typename Module::SharedState; }
struct SharedStateOf<Module> {
  using type = typename Module::SharedState;
};

// The workbench's reference to the module object of one class it created last. Creating a new
// object repoints the reference; "close" only ends the workbench's use (the object stays alive
// and readable until the program ends), "free" destroys it at once. The earlier object a new
// one replaces is never looked at again, so it is released then.
//
// The slot also owns the state the class keeps between its objects: every object it creates
// shares it, and it lives as long as the workbench, so another workbench has its own.
template <class Module>
class ModuleSlot {
 public:
  using SharedState = typename SharedStateOf<Module>::type;
  enum class State { None, Open, Closed, Freed };

  Module& create() {
    if constexpr (requires { typename Module::SharedState; })
      object_ = std::make_unique<Module>(shared());
    else object_ = std::make_unique<Module>();
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
  // Made when first needed, so a command pays only for the modules it uses.
  SharedState& shared() {
    if (!shared_) shared_ = std::make_unique<SharedState>();
    return *shared_;
  }

 private:
  std::unique_ptr<Module> object_;
  // Held apart from the slot: some states are megabytes, and a workbench may live on a stack.
  std::unique_ptr<SharedState> shared_;
  State state_ = State::None;
  int created_ = 0;
};

}  // namespace pelk
