#include "studies/rigid_registration_3d.h"

#include <algorithm>
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
// in every iteration.
constexpr double kSamples = 30000;
constexpr unsigned kIterations = 100;
constexpr int kHistogramBins = 32;
constexpr int kSeed = 20261208;  // the same samples on every run: the same answer

// A view of the study as an ITK image, sharing nothing: ITK owns its copy.
Image::Pointer toImage(const StudyVolume& v) {
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

  using Resampler = itk::ResampleImageFilter<Image, Image, double>;
  auto resampler = Resampler::New();
  resampler->SetInput(moving);
  resampler->SetTransform(transform);
  resampler->SetInterpolator(itk::LinearInterpolateImageFunction<Image, double>::New());
  resampler->SetUseReferenceImage(true);
  resampler->SetReferenceImage(fixed);
  // Outside the follow-up: marked, so the change is measured only where both studies have data.
  resampler->SetDefaultPixelValue(std::numeric_limits<float>::quiet_NaN());
  try {
    resampler->Update();
  } catch (const itk::ExceptionObject& e) {
    throw IoError("Resampling the follow-up " + name + " failed: " + e.GetDescription());
  }

  result.registered = sameGrid(baseline);
  result.covered.assign(result.registered.values.size(), 0);
  const float* out = resampler->GetOutput()->GetBufferPointer();
  for (std::size_t i = 0; i < result.registered.values.size(); ++i) {
    const bool inside = !std::isnan(out[i]);
    result.registered.values[i] = inside ? out[i] : 0.0f;
    result.covered[i] = inside;
  }
  return result;
}

}  // namespace pelk
