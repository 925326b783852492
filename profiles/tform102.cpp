#include "profiles/tform102.h"

namespace pelk {

TForm102::TForm102() {
  Memo1.add("Welcome to Corlune");
  Memo1.addEmpty();
}

}  // namespace pelk
