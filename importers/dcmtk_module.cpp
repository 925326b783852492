#include "importers/dcmtk_module.h"

#include "importers/dicom_reader.h"

// The program's side of the DCMTK module: readDicomScan as the rest of the program calls it.

namespace pelk {

ScanVolume readDicomScan(const std::string& path) {
  const auto& module = toolkitModule<DcmtkModule>("pelk40-dcmtk.so", PELK_MODULE_PATH,
                                                  "pelkDcmtkModule", "The DICOM reader module");
  ScanVolume scan;
  callModule(module.readDicomScan, path, scan);
  return scan;
}

}  // namespace pelk
