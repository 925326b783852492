#include "studies/rigid_registration_3d.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include <itkCenteredTransformInitializer.h>
#include <itkImage.h>
#include <itkImageMaskSpatialObject.h>
#include <itkImageRegistrationMethodv4.h>
#include <itkLinearInterpolateImageFunction.h>
#include <itkMattesMutualInformationImageToImageMetricv4.h>
#include <itkRegistrationParameterScalesFromPhysicalShift.h>
#include <itkRegularStepGradientDescentOptimizerv4.h>
#include <itkResampleImageFilter.h>
#include <itkVersorRigid3DTransform.h>

#include "common/io_error.h"

namespace pelk {
namespace {

using Image = itk::Image<float, 3>;
using Transform = itk::VersorRigid3DTransform<double>;
using Optimizer = itk::RegularStepGradientDescentOptimizerv4<double>;
using Metric = itk::MattesMutualInformationImageToImageMetricv4<Image, Image>;
using Registration = itk::ImageRegistrationMethodv4<Image, Image, Transform>;
using MaskImage = itk::Image<unsigned char, 3>;

// The pyramid: a quarter, a half, then full resolution; smoothing in voxels of each level.
constexpr unsigned kLevels = 3;
constexpr unsigned kShrink[kLevels] = {4, 2, 1};
constexpr double kSigma[kLevels] = {2.0, 1.0, 0.0};
// Voxels the metric is sampled on at each level: a 32-bin joint histogram is well filled by a
// few tens of thousands, however large the volume, and each sample costs several interpolations
// in every iteration. Under noise, half as many leave the sampled metric rough enough to hold
// the optimiser in a false optimum a degree or a few millimetres off.
constexpr double kSamples = 60000;
constexpr unsigned kIterations = 100;
constexpr int kHistogramBins = 32;
constexpr int kSeed = 20261208;  // the same samples on every run: the same answer

// An ITK image on the study's grid, its pixels not yet allocated: enough to resample onto.
Image::Pointer gridImage(const StudyVolume& v) {
  auto image = Image::New();
  Image::RegionType region;
  region.SetSize({static_cast<itk::SizeValueType>(v.size[0]),
                  static_cast<itk::SizeValueType>(v.size[1]),
                  static_cast<itk::SizeValueType>(v.size[2])});
  image->SetRegions(region);
  Image::SpacingType spacing;
  Image::PointType origin;
  Image::DirectionType direction;
  for (unsigned r = 0; r < 3; ++r) {
    spacing[r] = v.spacingMm[r];
    origin[r] = v.originMm[r];
    for (unsigned c = 0; c < 3; ++c) direction[r][c] = v.axes[c][r];
  }
  image->SetSpacing(spacing);
  image->SetOrigin(origin);
  image->SetDirection(direction);
  return image;
}

// The study as an ITK image, sharing nothing: ITK owns its copy.
Image::Pointer toImage(const StudyVolume& v) {
  Image::Pointer image = gridImage(v);
  image->Allocate();
  std::copy(v.values.begin(), v.values.end(), image->GetBufferPointer());
  return image;
}

// The corners of a volume's extent in patient space, for the overlap test.
std::pair<Vec3, Vec3> boundingBox(const StudyVolume& v) {
  Vec3 low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
           std::numeric_limits<double>::max()};
  Vec3 high{-low[0], -low[1], -low[2]};
  for (int corner = 0; corner < 8; ++corner) {
    const Vec3 p = v.pointMm(corner & 1 ? v.size[0] - 1 : 0, corner & 2 ? v.size[1] - 1 : 0,
                             corner & 4 ? v.size[2] - 1 : 0);
    for (std::size_t r = 0; r < 3; ++r) {
      low[r] = std::min(low[r], p[r]);
      high[r] = std::max(high[r], p[r]);
    }
  }
  return {low, high};
}

bool overlapInSpace(const StudyVolume& a, const StudyVolume& b) {
  const auto [aLow, aHigh] = boundingBox(a);
  const auto [bLow, bHigh] = boundingBox(b);
  for (std::size_t r = 0; r < 3; ++r)
    if (aHigh[r] < bLow[r] || bHigh[r] < aLow[r]) return false;
  return true;
}

// Rotations about x, then y, then z whose product is `m` (m = Rz · Ry · Rx), in degrees.
Vec3 eulerDegrees(const Transform::MatrixType& m) {
  const double toDeg = 180.0 / std::numbers::pi;
  const double ry = std::asin(std::clamp(-m[2][0], -1.0, 1.0));
  const double rx = std::atan2(m[2][1], m[2][2]);
  const double rz = std::atan2(m[1][0], m[0][0]);
  return {rx * toDeg, ry * toDeg, rz * toDeg};
}

// Linear resampling of `image` onto the grid of `reference` through `transform` (from the
// reference's space to the image's); NaN where the image has no data.
Image::Pointer resampled(const Image::Pointer& image, const Image::Pointer& reference,
                         const itk::Transform<double, 3, 3>* transform, const std::string& what) {
  using Resampler = itk::ResampleImageFilter<Image, Image, double>;
  auto resampler = Resampler::New();
  resampler->SetInput(image);
  resampler->SetTransform(transform);
  resampler->SetInterpolator(itk::LinearInterpolateImageFunction<Image, double>::New());
  resampler->SetUseReferenceImage(true);
  resampler->SetReferenceImage(reference);
  resampler->SetDefaultPixelValue(std::numeric_limits<float>::quiet_NaN());
  try {
    resampler->Update();
  } catch (const itk::ExceptionObject& e) {
    throw IoError("Resampling " + what + " failed: " + e.GetDescription());
  }
  return resampler->GetOutput();
}

// Sub-voxels per follow-up voxel along each of its axes: as many as baseline voxels fit in it,
// so a thick slice is the mean of the thin ones it spans. Capped: beyond it the mean hardly moves,
// and the finer grid stays within twice the larger of the two studies.
constexpr int kMaxSubVoxels = 8;

// The baseline recorded on the follow-up's grid: sampled through `toBaseline` on a grid finer
// by whole factors, then each follow-up voxel the mean of its sub-voxels.
Image::Pointer recordedOnGrid(const Image::Pointer& baseline, const StudyVolume& baselineGrid,
                              const StudyVolume& followUp,
                              const itk::Transform<double, 3, 3>* toBaseline) {
  const double finest =
      std::min({baselineGrid.spacingMm[0], baselineGrid.spacingMm[1], baselineGrid.spacingMm[2]});
  std::array<std::int64_t, 3> factor{};
  StudyVolume fine;
  for (std::size_t a = 0; a < 3; ++a)
    factor[a] =
        std::clamp<std::int64_t>(std::lround(followUp.spacingMm[a] / finest), 1, kMaxSubVoxels);
  const std::int64_t budget = 2 * std::max(baselineGrid.voxelCount(), followUp.voxelCount());
  while (followUp.voxelCount() * factor[0] * factor[1] * factor[2] > budget)
    --*std::max_element(factor.begin(), factor.end());
  for (std::size_t a = 0; a < 3; ++a) {
    fine.size[a] = followUp.size[a] * factor[a];
    fine.spacingMm[a] = followUp.spacingMm[a] / static_cast<double>(factor[a]);
  }
  fine.axes = followUp.axes;
  // Sub-voxel centres spread evenly over each follow-up voxel's extent.
  fine.originMm =
      followUp.pointMm(-(factor[0] - 1) / (2.0 * factor[0]), -(factor[1] - 1) / (2.0 * factor[1]),
                       -(factor[2] - 1) / (2.0 * factor[2]));
  const Image::Pointer sampled = resampled(baseline, gridImage(fine), toBaseline, "the baseline");

  Image::Pointer recorded = gridImage(followUp);
  recorded->Allocate(true);
  float* sum = recorded->GetBufferPointer();
  std::vector<std::uint16_t> counts(static_cast<std::size_t>(followUp.voxelCount()), 0);
  const float* in = sampled->GetBufferPointer();
  for (std::int64_t k = 0; k < fine.size[2]; ++k)
    for (std::int64_t j = 0; j < fine.size[1]; ++j)
      for (std::int64_t i = 0; i < fine.size[0]; ++i) {
        const float v = in[fine.index(i, j, k)];
        if (std::isnan(v)) continue;
        const std::size_t at = followUp.index(i / factor[0], j / factor[1], k / factor[2]);
        sum[at] += v;
        ++counts[at];
      }
  // A voxel with part of its extent outside the baseline is the mean of the part inside.
  for (std::size_t at = 0; at < counts.size(); ++at)
    sum[at] = counts[at] ? sum[at] / static_cast<float>(counts[at])
                         : std::numeric_limits<float>::quiet_NaN();
  return recorded;
}

}  // namespace

RigidRegistration registerRigid(const StudyVolume& baseline, const StudyVolume& followUp,
                                const std::string& name,
                                const std::vector<std::uint8_t>& baselineHead) {
  if (!overlapInSpace(baseline, followUp))
    throw IoError("The follow-up " + name + " does not overlap the baseline at all in space");

  const Image::Pointer fixed = toImage(baseline);
  const Image::Pointer moving = toImage(followUp);

  auto transform = Transform::New();
  using Initializer = itk::CenteredTransformInitializer<Transform, Image, Image>;
  auto initializer = Initializer::New();
  initializer->SetTransform(transform);
  initializer->SetFixedImage(fixed);
  initializer->SetMovingImage(moving);
  initializer->MomentsOn();

  auto maskImage = MaskImage::New();
  maskImage->CopyInformation(fixed);
  maskImage->SetRegions(fixed->GetLargestPossibleRegion());
  maskImage->Allocate();
  std::copy(baselineHead.begin(), baselineHead.end(), maskImage->GetBufferPointer());
  auto mask = itk::ImageMaskSpatialObject<3>::New();
  mask->SetImage(maskImage);
  mask->Update();

  auto metric = Metric::New();
  metric->SetFixedImageMask(mask);
  metric->SetNumberOfHistogramBins(kHistogramBins);
  metric->SetUseMovingImageGradientFilter(false);
  metric->SetUseFixedImageGradientFilter(false);

  auto scales = itk::RegistrationParameterScalesFromPhysicalShift<Metric>::New();
  scales->SetMetric(metric);
  auto optimizer = Optimizer::New();
  optimizer->SetScalesEstimator(scales);
  optimizer->SetDoEstimateLearningRateOnce(true);
  optimizer->SetLearningRate(1.0);
  optimizer->SetMinimumStepLength(1e-4);
  optimizer->SetRelaxationFactor(0.6);
  optimizer->SetNumberOfIterations(kIterations);
  optimizer->SetReturnBestParametersAndValue(true);

  auto registration = Registration::New();
  registration->SetFixedImage(fixed);
  registration->SetMovingImage(moving);
  registration->SetMetric(metric);
  registration->SetOptimizer(optimizer);
  registration->SetInitialTransform(transform);
  registration->InPlaceOn();
  registration->SetNumberOfLevels(kLevels);
  Registration::ShrinkFactorsArrayType shrink(kLevels);
  Registration::SmoothingSigmasArrayType sigma(kLevels);
  Registration::MetricSamplingPercentageArrayType sampling(kLevels);
  for (unsigned l = 0; l < kLevels; ++l) {
    shrink[l] = kShrink[l];
    sigma[l] = kSigma[l];
    const double voxels =
        static_cast<double>(std::count(baselineHead.begin(), baselineHead.end(), 1)) /
        std::pow(kShrink[l], 3);
    sampling[l] = std::min(1.0, kSamples / voxels);
  }
  registration->SetShrinkFactorsPerLevel(shrink);
  registration->SetSmoothingSigmasPerLevel(sigma);
  registration->SetSmoothingSigmasAreSpecifiedInPhysicalUnits(false);
  registration->SetMetricSamplingStrategy(Registration::MetricSamplingStrategyEnum::RANDOM);
  registration->SetMetricSamplingPercentagePerLevel(sampling);
  registration->MetricSamplingReinitializeSeed(kSeed);

  RigidRegistration result;
  try {
    initializer->InitializeTransform();
    registration->Update();
  } catch (const itk::ExceptionObject& e) {
    throw IoError("Registration of the follow-up " + name +
                  " to the baseline failed: " + e.GetDescription());
  }
  result.metric = optimizer->GetValue();
  result.stopReason = optimizer->GetStopConditionDescription();
  result.converged = optimizer->GetCurrentIteration() < optimizer->GetNumberOfIterations();
  result.rotationDeg = eulerDegrees(transform->GetMatrix());
  const auto offset = transform->GetTranslation();
  result.translationMm = {offset[0], offset[1], offset[2]};

  // Outside the follow-up: marked, so the change is measured only where both studies have data.
  const Image::Pointer registered = resampled(moving, fixed, transform, "the follow-up " + name);
  const auto inverse = transform->GetInverseTransform();
  const Image::Pointer seen =
      resampled(recordedOnGrid(fixed, baseline, followUp, inverse.GetPointer()), fixed, transform,
                "the baseline onto the follow-up " + name);

  result.registered = sameGrid(baseline);
  result.covered.assign(result.registered.values.size(), 0);
  result.baselineAsSeen.assign(result.registered.values.size(), 0.0f);
  const float* out = registered->GetBufferPointer();
  const float* asSeen = seen->GetBufferPointer();
  for (std::size_t i = 0; i < result.registered.values.size(); ++i) {
    const bool inside = !std::isnan(out[i]);
    result.registered.values[i] = inside ? out[i] : 0.0f;
    result.covered[i] = inside;
    // Where the round trip fell off the follow-up's grid the baseline itself stands in.
    result.baselineAsSeen[i] = std::isnan(asSeen[i]) ? baseline.values[i] : asSeen[i];
  }
  return result;
}

}  // namespace pelk
