#include "importers/radiological_layout.h"

#include <cmath>

namespace pelk {
namespace {

double dot(const PatientDirection& a, const PatientDirection& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

constexpr PatientDirection kLeft{1, 0, 0};
constexpr PatientDirection kPosterior{0, 1, 0};
constexpr PatientDirection kInferior{0, 0, -1};

}  // namespace

int headFootAxis(const std::array<PatientDirection, 3>& axes) {
  int best = 2;
  double bestShare = -1.0;
  // Ties go to the later axis, so a volume with no clear answer keeps its third axis as the
  // slice axis, the usual stacking order.
  for (int axis = 2; axis >= 0; --axis) {
    const auto& d = axes[static_cast<std::size_t>(axis)];
    const double length = std::sqrt(dot(d, d));
    const double share = length > 0 ? std::fabs(d[2]) / length : 0.0;
    if (share > bestShare + 1e-9) {
      best = axis;
      bestShare = share;
    }
  }
  return best;
}

SliceLayout radiologicalLayout(const std::optional<std::array<PatientDirection, 3>>& axes,
                               int sliceAxis) {
  const int first = sliceAxis == 0 ? 1 : 0;
  const int second = sliceAxis == 2 ? 1 : 2;
  SliceLayout layout{first, second, false, false};
  if (!axes) return layout;

  const auto& normal = (*axes)[static_cast<std::size_t>(sliceAxis)];
  const double nx = std::fabs(normal[0]), ny = std::fabs(normal[1]), nz = std::fabs(normal[2]);
  PatientDirection rightward = kLeft;
  PatientDirection downward = kPosterior;
  if (nx > ny && nx > nz) {
    rightward = kPosterior;  // sagittal: the face looks to the picture's left
    downward = kInferior;
  } else if (ny > nz && ny >= nx) {
    downward = kInferior;  // coronal
  }

  const auto& a = (*axes)[static_cast<std::size_t>(first)];
  const auto& b = (*axes)[static_cast<std::size_t>(second)];
  const double keep = std::fabs(dot(a, rightward)) + std::fabs(dot(b, downward));
  const double swap = std::fabs(dot(b, rightward)) + std::fabs(dot(a, downward));
  if (swap > keep) layout = {second, first, false, false};
  layout.flipAcross = dot((*axes)[static_cast<std::size_t>(layout.across)], rightward) < 0;
  layout.flipDown = dot((*axes)[static_cast<std::size_t>(layout.down)], downward) < 0;
  return layout;
}

}  // namespace pelk
