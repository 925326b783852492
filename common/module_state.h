#pragma once
#include <memory>

namespace pelk {

// A module object's hold on the state its class keeps from one object to the next. The
// workbench's slot for the class owns one such state and hands it to every object it creates,
// so the objects of one workbench share it and two workbenches never see each other's; an
// object made on its own (a test, a tool) starts with a fresh state of its own.
template <class State>
class ModuleState {
 public:
  ModuleState() : own_(std::make_unique<State>()), state_(own_.get()) {}
  explicit ModuleState(State& shared) : state_(&shared) {}

  State& operator*() const { return *state_; }
  State* operator->() const { return state_; }

 private:
  std::unique_ptr<State> own_;
  State* state_;
};

}  // namespace pelk
