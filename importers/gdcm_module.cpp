#include "importers/gdcm_module.h"

#include "common/toolkit_module.h"

namespace pelk {

const GdcmModule& gdcmModule() {
  return toolkitModule<GdcmModule>("pelk40-gdcm.so", PELK_MODULE_PATH, "pelkGdcmModule",
                                   "The DICOM toolkit module");
}

}  // namespace pelk
