#pragma once
#include <string>

#include "common/toolkit_module.h"
#include "importers/scan_volume.h"

namespace pelk {

// The DICOM reader and DCMTK, with its codecs, in a module of their own (see
// common/toolkit_module.h), importers/dcmtk/: loaded the first time a DICOM file is read.
struct DcmtkModule {
  bool (*readDicomScan)(const std::string& path, ScanVolume& scan, ModuleFailure& failure);
};

}  // namespace pelk

// The module's one exported symbol.
extern "C" const pelk::DcmtkModule* pelkDcmtkModule();
