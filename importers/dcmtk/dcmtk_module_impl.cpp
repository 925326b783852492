// The DCMTK module (see importers/dcmtk_module.h): the DICOM reader, built into a shared object
// of its own with DCMTK and loaded on first use.
#include "importers/dcmtk_module.h"
#include "importers/dicom_reader.h"

namespace pelk {
namespace {

const DcmtkModule kModule{
    [](const std::string& path, ScanVolume& scan, ModuleFailure& failure) {
      return failure.capture([&] { scan = readDicomScan(path); });
    },
};

}  // namespace
}  // namespace pelk

extern "C" __attribute__((visibility("default"))) const pelk::DcmtkModule* pelkDcmtkModule() {
  return &pelk::kModule;
}
