#include "profiles/rra1_descriptor.h"
#include "profiles/tform102.h"

namespace pelk {

// The module's own commands. Its window is never shown by the workbench, so these run only
// when the module is used on its own.

void TForm102::Button1Click() {
  Memo1.addEmpty();
  loadCore(1, patientMriFile);
  loadCore(2, baselineFile);
  runRRATest(1, fixedRRA1Descriptor());
}

void TForm102::Button3Click() {
  Memo1.addEmpty();
  performRRA2();
}

void TForm102::Button4Click() {
  Memo1.addEmpty();
  Memo1.add("The function complete-tes is not yet implemented");
}

}  // namespace pelk
