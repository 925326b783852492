#include "tests/importers/scan_files.h"

#include <cstring>
#include <stdexcept>

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcrleerg.h>
#include <dcmtk/dcmdata/dctk.h>
#include <dcmtk/dcmjpeg/djencode.h>
#include <dcmtk/dcmjpeg/djrplol.h>
#include <nifti2_io.h>

#include "tests/support/files.h"

namespace pelk::test {
namespace {

void check(const OFCondition& status, const char* what) {
  if (status.bad()) throw std::runtime_error(std::string(what) + ": " + status.text());
}

template <typename T>
void fill(void* data, const std::vector<double>& values) {
  auto* out = static_cast<T*>(data);
  for (std::size_t i = 0; i < values.size(); ++i) out[i] = static_cast<T>(values[i]);
}

}  // namespace

void writeDicom(const std::string& path, const DicomSpec& spec) {
  DcmFileFormat file;
  DcmDataset* data = file.getDataset();
  char uid[100];
  check(data->putAndInsertString(DCM_SOPClassUID, UID_MRImageStorage), "class");
  check(data->putAndInsertString(DCM_SOPInstanceUID,
                                 dcmGenerateUniqueIdentifier(uid, SITE_INSTANCE_UID_ROOT)),
        "uid");
  check(data->putAndInsertString(DCM_Modality, "MR"), "modality");
  check(data->putAndInsertUint16(DCM_SamplesPerPixel, static_cast<Uint16>(spec.samplesPerPixel)),
        "spp");
  check(data->putAndInsertString(DCM_PhotometricInterpretation, spec.photometric.c_str()), "pi");
  check(data->putAndInsertUint16(DCM_Rows, static_cast<Uint16>(spec.rows)), "rows");
  check(data->putAndInsertUint16(DCM_Columns, static_cast<Uint16>(spec.columns)), "columns");
  check(data->putAndInsertUint16(DCM_BitsAllocated, static_cast<Uint16>(spec.bitsAllocated)), "ba");
  check(data->putAndInsertUint16(DCM_BitsStored, static_cast<Uint16>(spec.bitsStored)), "bs");
  check(data->putAndInsertUint16(DCM_HighBit, static_cast<Uint16>(spec.bitsStored - 1)), "hb");
  check(data->putAndInsertUint16(DCM_PixelRepresentation, spec.isSigned ? 1 : 0), "pr");
  if (spec.samplesPerPixel > 1) check(data->putAndInsertUint16(DCM_PlanarConfiguration, 0), "pc");
  if (spec.frames > 1)
    check(data->putAndInsertString(DCM_NumberOfFrames, std::to_string(spec.frames).c_str()),
          "frames");
  const auto putNumber = [&](const DcmTagKey& tag, const std::optional<double>& v) {
    if (v) check(data->putAndInsertString(tag, std::to_string(*v).substr(0, 16).c_str()), "number");
  };
  putNumber(DCM_RescaleSlope, spec.slope);
  putNumber(DCM_RescaleIntercept, spec.intercept);
  putNumber(DCM_WindowCenter, spec.windowCentre);
  putNumber(DCM_WindowWidth, spec.windowWidth);
  if (spec.pixelSpacing)
    check(data->putAndInsertString(DCM_PixelSpacing, spec.pixelSpacing->c_str()), "ps");
  if (spec.orientation)
    check(data->putAndInsertString(DCM_ImageOrientationPatient, spec.orientation->c_str()), "iop");
  if (spec.groupPixelSpacing) {
    DcmItem* groups = nullptr;
    DcmItem* measures = nullptr;
    check(data->findOrCreateSequenceItem(DCM_SharedFunctionalGroupsSequence, groups), "groups");
    check(groups->findOrCreateSequenceItem(DCM_PixelMeasuresSequence, measures), "measures");
    check(measures->putAndInsertString(DCM_PixelSpacing, spec.groupPixelSpacing->c_str()),
          "group ps");
  }
  for (const auto& [tag, value] : spec.extra)
    check(data->putAndInsertString(
              DcmTagKey(static_cast<Uint16>(tag >> 16), static_cast<Uint16>(tag & 0xFFFF)),
              value.c_str()),
          "extra");

  if (spec.bitsAllocated == 8) {
    std::vector<Uint8> bytes(spec.pixels.begin(), spec.pixels.end());
    check(data->putAndInsertUint8Array(DCM_PixelData, bytes.data(),
                                       static_cast<unsigned long>(bytes.size())),
          "pixels");
  } else {
    std::vector<Uint16> words(spec.pixels.begin(), spec.pixels.end());
    check(data->putAndInsertUint16Array(DCM_PixelData, words.data(),
                                        static_cast<unsigned long>(words.size())),
          "pixels");
  }
  E_TransferSyntax syntax = EXS_LittleEndianExplicit;
  switch (spec.syntax) {
    case DicomSpec::Syntax::ExplicitLittle: break;
    case DicomSpec::Syntax::ImplicitLittle: syntax = EXS_LittleEndianImplicit; break;
    case DicomSpec::Syntax::ExplicitBig: syntax = EXS_BigEndianExplicit; break;
    case DicomSpec::Syntax::RleLossless:
      DcmRLEEncoderRegistration::registerCodecs();
      syntax = EXS_RLELossless;
      check(data->chooseRepresentation(syntax, nullptr), "RLE encoding");
      break;
    case DicomSpec::Syntax::JpegLossless: {
      DJEncoderRegistration::registerCodecs();
      syntax = EXS_JPEGProcess14SV1;
      const DJ_RPLossless lossless;
      check(data->chooseRepresentation(syntax, &lossless), "JPEG encoding");
      break;
    }
  }
  check(file.saveFile(path.c_str(), syntax), "save");
}

void writeNifti(const std::string& path, const NiftiSpec& spec) {
  const int64_t dims[8] = {
      spec.size[3] > 1 ? 4 : 3, spec.size[0], spec.size[1], spec.size[2], spec.size[3], 1, 1, 1};
  nifti_image* image = nifti_make_new_nim(dims, spec.datatype, 1);
  if (!image) throw std::runtime_error("nifti_make_new_nim failed");
  switch (spec.datatype) {
    case DT_UINT8: fill<std::uint8_t>(image->data, spec.values); break;
    case DT_INT16: fill<std::int16_t>(image->data, spec.values); break;
    case DT_UINT16: fill<std::uint16_t>(image->data, spec.values); break;
    case DT_FLOAT32: fill<float>(image->data, spec.values); break;
    case DT_FLOAT64: fill<double>(image->data, spec.values); break;
    default: break;  // other types are written as zeros
  }
  image->dx = image->pixdim[1] = spec.spacing[0];
  image->dy = image->pixdim[2] = spec.spacing[1];
  image->dz = image->pixdim[3] = spec.spacing[2];
  image->xyz_units = NIFTI_UNITS_MM;
  image->scl_slope = spec.slope;
  image->scl_inter = spec.intercept;
  image->cal_min = spec.calMin;
  image->cal_max = spec.calMax;
  image->qform_code = 0;
  image->sform_code = 0;
  if (spec.sform) {
    image->sform_code = NIFTI_XFORM_SCANNER_ANAT;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 4; ++c)
        image->sto_xyz.m[r][c] =
            (*spec.sform)[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    image->sto_xyz.m[3][0] = image->sto_xyz.m[3][1] = image->sto_xyz.m[3][2] = 0;
    image->sto_xyz.m[3][3] = 1;
  }
  if (spec.qform) {
    image->qform_code = NIFTI_XFORM_SCANNER_ANAT;
    image->quatern_b = (*spec.qform)[0];
    image->quatern_c = (*spec.qform)[1];
    image->quatern_d = (*spec.qform)[2];
    image->qfac = 1;
    image->qoffset_x = image->qoffset_y = image->qoffset_z = 0;
  }
  if (spec.version == 2) {
    // nifti_image_write of this library version writes no header for NIfTI-2, so the header it
    // converts is written here, followed by the empty extension flag and the voxels.
    nifti_2_header header{};
    image->nifti_type = NIFTI_FTYPE_NIFTI2_1;
    const bool converted = nifti_convert_nim2n2hdr(image, &header) == 0;
    header.vox_offset = 544;
    std::memcpy(header.magic, "n+2\0\r\n\032\n",
                8);  // the converter leaves the magic to the writer
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(4, '\0');
    bytes.append(static_cast<const char*>(image->data),
                 static_cast<std::size_t>(image->nvox * image->nbyper));
    nifti_image_free(image);
    if (!converted || sizeof header != 540)
      throw std::runtime_error("NIfTI-2 header conversion failed");
    writeFile(path, bytes);
    return;
  }
  if (nifti_set_filenames(image, path.c_str(), 0, 1) != 0) {
    nifti_image_free(image);
    throw std::runtime_error("nifti_set_filenames failed");
  }
  image->nifti_type = NIFTI_FTYPE_NIFTI1_1;
  nifti_image_write(image);
  nifti_image_free(image);
  if (!fileExists(path)) throw std::runtime_error("nifti_image_write wrote nothing: " + path);
}

int NominalImage::at(int row, int col) const {
  return static_cast<unsigned char>(
      bytes.at(1078 + static_cast<std::size_t>(511 - row) * 512 + static_cast<std::size_t>(col)));
}

NominalImage readNominal(const std::string& path) { return {readFile(path)}; }

}  // namespace pelk::test
