#pragma once
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

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

// A large table of plain numbers that starts as zeros. Its memory comes zeroed from the system,
// page by page as it is first touched, so a run pays only for the rows it uses.
template <class Table>
requires std::is_trivial_v<Table>
class ZeroedTable {
 public:
  ZeroedTable() : table_(static_cast<Table*>(std::calloc(1, sizeof(Table)))) {
    if (table_ == nullptr) throw std::bad_alloc();
  }
  ~ZeroedTable() { std::free(table_); }
  ZeroedTable(const ZeroedTable&) = delete;
  ZeroedTable& operator=(const ZeroedTable&) = delete;

  Table& operator*() const { return *table_; }
  Table* operator->() const { return table_; }
  void clear() { std::memset(table_, 0, sizeof(Table)); }

 private:
  Table* table_;
};

}  // namespace pelk
