// JPEG decoding with libjpeg-turbo, straight into bottom-up BGR rows.
#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

#include "foundation/picture_codec_common.h"
#include "foundation/picture_loading.h"
#include "platform/bitmap.h"

namespace {

// A declared size is bounded by the file's length before anything is allocated. Every 8 x 8
// block costs at least two bits in a sequential Huffman file (a DC code and an end-of-block
// code) and one bit in a progressive one (its first DC scan); arithmetic coding has no floor,
// so a generous ratio stands in for one.
constexpr int64_t kSequentialPixelsPerByte = 256;
constexpr int64_t kProgressivePixelsPerByte = 512;
constexpr int64_t kArithmeticPixelsPerByte = 4096;
constexpr int64_t kPixelSlack = 1 << 16;

int64_t PixelBudget(const jpeg_decompress_struct& cinfo, size_t size) {
  const int64_t perByte = cinfo.arith_code         ? kArithmeticPixelsPerByte
                          : cinfo.progressive_mode ? kProgressivePixelsPerByte
                                                   : kSequentialPixelsPerByte;
  return int64_t(size) * perByte + kPixelSlack;
}

// A progressive file may hold any number of scans; a few hundred already mean hostile input.
constexpr int kMaxJpegScans = 500;

struct TJpegErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  bool SawEnd;      // the data ran out before an end marker
  bool MissedData;  // the entropy decoder wanted bits past the end
  char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  cinfo->err->format_message(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

void JpegEmitMessage(j_common_ptr cinfo, int level) {
  // Warnings are tolerated; the end of the data is noted, as it tells a file cut short.
  auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  if (level >= 0) return;
  if (cinfo->err->msg_code == JWRN_JPEG_EOF) err->SawEnd = true;
  if (cinfo->err->msg_code == JWRN_HIT_MARKER) err->MissedData = true;
}

// A file without its end marker is whole when nothing was missing: the Huffman decoder
// wanted no bits past the end, and a progressive file got every coefficient to full precision.
// The arithmetic decoder does not say when it runs dry, so there the end marker must be seen.
bool CutShort(const jpeg_decompress_struct& cinfo, const TJpegErrorManager& err) {
  if (!err.SawEnd) return false;
  if (err.MissedData || cinfo.arith_code) return true;
  if (cinfo.progressive_mode && cinfo.coef_bits) {
    for (int c = 0; c < cinfo.num_components; ++c)
      for (int k = 0; k < DCTSIZE2; ++k)
        if (cinfo.coef_bits[c][k] != 0) return true;
  }
  return false;
}

void JpegProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxJpegScans) {
      auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
      std::snprintf(err->Message, sizeof err->Message, "JPEG file has too many scans");
      std::longjmp(err->Jump, 1);
    }
  }
}

void CmykToBgr(const uint8_t* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    bgr[0] = uint8_t(y * k / 255);
    bgr[1] = uint8_t(m * k / 255);
    bgr[2] = uint8_t(c * k / 255);
  }
}

// A preview is decoded at the smallest of 1/1, 1/2, 1/4 and 1/8 that brings its longer side
// to fitSide or below; 0 decodes at full size. Memory is what the decoder may hold besides the
// output (a progressive file keeps all its coefficients).
struct TJpegDecodeLimits {
  int32_t FitSide = 0;
  int32_t MaxOutputSide = kMaxBitmapSide;
  long Memory = long(kMaxBitmapBytes);
};

// Only plain data lives in this frame: longjmp leaves it without running destructors.
bool DecodeJpegRaw(TDibImage& out, const uint8_t* data, size_t size, const TJpegDecodeLimits& limits, char* message) {
  jpeg_decompress_struct cinfo;
  TJpegErrorManager err;
  jpeg_progress_mgr progress;
  uint8_t* volatile cmykRow = nullptr;
  std::memset(&cinfo, 0, sizeof cinfo);  // a failed create must find no stale memory manager
  cinfo.err = jpeg_std_error(&err.Base);
  err.Base.error_exit = JpegErrorExit;
  err.Base.emit_message = JpegEmitMessage;
  err.SawEnd = false;
  err.MissedData = false;
  err.Message[0] = 0;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::free(cmykRow);
    FreeDib(out);
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.Message);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = limits.Memory;
  progress.progress_monitor = JpegProgress;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (!picture_codec::FitsBitmapLimits(cinfo.image_width, cinfo.image_height, 3) ||
      int64_t(cinfo.image_width) * cinfo.image_height > PixelBudget(cinfo, size)) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, JMSG_LENGTH_MAX, "JPEG picture of %u x %u pixels is too large", cinfo.image_width,
                  cinfo.image_height);
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  if (limits.FitSide > 0) {
    const int64_t side = std::max(cinfo.image_width, cinfo.image_height);
    unsigned denom = 1;
    while (denom < 8 && (side + denom - 1) / denom > limits.FitSide) denom *= 2;
    cinfo.scale_num = 1;
    cinfo.scale_denom = denom;
  }
  jpeg_calc_output_dimensions(&cinfo);
  if (int64_t(cinfo.output_width) > limits.MaxOutputSide || int64_t(cinfo.output_height) > limits.MaxOutputSide) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, JMSG_LENGTH_MAX, "JPEG picture of %u x %u pixels is too large", cinfo.image_width,
                  cinfo.image_height);
    return false;
  }
  jpeg_start_decompress(&cinfo);
  if (!CreateDib24(out, int32_t(cinfo.output_width), int32_t(cinfo.output_height))) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, JMSG_LENGTH_MAX, "Out of memory for the JPEG picture");
    return false;
  }
  if (cmyk) {
    cmykRow = static_cast<uint8_t*>(std::malloc(size_t(cinfo.output_width) * 4));
    if (!cmykRow) ERREXIT(&cinfo, JERR_OUT_OF_MEMORY);
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* target = DibScanLine(out, int32_t(cinfo.output_scanline));
    JSAMPROW row = cmyk ? cmykRow : target;
    jpeg_read_scanlines(&cinfo, &row, 1);
    if (cmyk) CmykToBgr(cmykRow, target, cinfo.output_width, cinfo.saw_Adobe_marker);
    if (CutShort(cinfo, err)) break;
  }
  const bool cutShort = CutShort(cinfo, err);
  if (!cutShort) jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::free(cmykRow);
  if (cutShort) {
    FreeDib(out);
    std::snprintf(message, JMSG_LENGTH_MAX, "JPEG data ends too early");
    return false;
  }
  return true;
}

}  // namespace

namespace {
bool DecodeJpegWith(TDibImage& image, const uint8_t* data, size_t size, const TJpegDecodeLimits& limits,
                    std::string* error) {
  if (size == 0) return picture_codec::Fail(error, "Empty JPEG data");
  TDibImage decoded;
  InitDib(decoded);
  char message[JMSG_LENGTH_MAX];
  if (!DecodeJpegRaw(decoded, data, size, limits, message)) return picture_codec::Fail(error, message);
  picture_codec::Adopt(image, decoded);
  return true;
}
}  // namespace

bool DecodeJpeg(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  return DecodeJpegWith(image, data, size, TJpegDecodeLimits{}, error);
}

namespace picture_codec {

bool DecodeJpegPreview(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  return DecodeJpegWith(image, data, size, TJpegDecodeLimits{kPreviewFitSide, kMaxPreviewSide, kPreviewDecoderBytes},
                        error);
}

bool ReadJpegSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height) {
  if (size == 0) return false;
  jpeg_decompress_struct cinfo;
  TJpegErrorManager err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.Base);
  err.Base.error_exit = JpegErrorExit;
  err.Base.emit_message = JpegEmitMessage;
  err.SawEnd = err.MissedData = false;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  width = int32_t(std::min<JDIMENSION>(cinfo.image_width, INT32_MAX));
  height = int32_t(std::min<JDIMENSION>(cinfo.image_height, INT32_MAX));
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace picture_codec
