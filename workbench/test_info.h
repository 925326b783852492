#pragma once
#include <string>

namespace pelk {

// The test information that heads report 1. The SQL exports never see it.
struct TestInformation {
  std::string patient = "*****";
  std::string test = "*****";
  std::string hospital = "*****";
  std::string date = "*****";
};

}  // namespace pelk
