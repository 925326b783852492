#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace pelk {

// SHA-256 fed piece by piece.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void add(std::string_view bytes);
  // Lengths go in before variable-length text, so ("ab","c") and ("a","bc") hash apart.
  void addField(std::string_view text);
  std::string hex();  // finishes the hash

 private:
  struct State;
  std::unique_ptr<State> state_;
};

std::string sha256Hex(std::string_view bytes);

}  // namespace pelk
