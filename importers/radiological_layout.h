#pragma once
#include <array>

#include "importers/scan_volume.h"

namespace pelk {

// How the two stored in-plane axes of a slice become the picture's axes.
struct SliceLayout {
  int across = 0;           // stored axis that runs left to right on the picture
  int down = 1;             // stored axis that runs top to bottom
  bool flipAcross = false;  // the picture's left column is that axis's last voxel
  bool flipDown = false;    // the picture's top row is that axis's last voxel
};

// The stored axis closest to the head-to-foot direction: slices across it are axial.
int headFootAxis(const std::array<PatientDirection, 3>& axes);

// The radiological view of slices taken across `sliceAxis`, as if looking from the feet (axial)
// or from the front (coronal): the patient's left on the picture's right. Axial slices have the
// front of the body at the top, coronal and sagittal slices the head at the top; sagittal slices
// face the picture's left. Oblique planes are shown in the nearest of these three views,
// flipped and transposed but never rotated. Without known axes the slice is shown as stored:
// axis 0 across, axis 1 down, which is how DICOM rows and columns are meant to be displayed
// when the file carries no orientation.
SliceLayout radiologicalLayout(const std::optional<std::array<PatientDirection, 3>>& axes,
                               int sliceAxis);

}  // namespace pelk
