#include "foundation/picture_encoders.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

TTestPicture MakeQuadrants(int width, int height) {
  TTestPicture p;
  p.width = width;
  p.height = height;
  p.pixels.resize(size_t(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      TRgb c = !bottom ? (!right ? TRgb{255, 0, 0} : TRgb{0, 255, 0})
                       : (!right ? TRgb{0, 0, 255} : TRgb{255, 255, 255});
      p.pixels[size_t(y) * width + x] = c;
    }
  return p;
}

std::vector<uint8_t> EncodeTestJpeg(const TTestPicture& picture, const TJpegOptions& options) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(picture.width);
  cinfo.image_height = JDIMENSION(picture.height);
  cinfo.input_components = options.grey ? 1 : 3;
  cinfo.in_color_space = options.grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  if (options.fullChroma && !options.grey)
    for (int c = 0; c < cinfo.num_components; ++c)
      cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
  if (options.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(size_t(picture.width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = int(cinfo.next_scanline);
    for (int x = 0; x < picture.width; ++x) {
      const TRgb c = picture.At(x, y);
      if (options.grey) {
        row[size_t(x)] = c.r;
      } else {
        row[size_t(x) * 3] = c.r;
        row[size_t(x) * 3 + 1] = c.g;
        row[size_t(x) * 3 + 2] = c.b;
      }
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

bool PatchJpegSize(std::vector<uint8_t>& jpeg, uint16_t width, uint16_t height) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = uint8_t(height >> 8);
      jpeg[i + 6] = uint8_t(height);
      jpeg[i + 7] = uint8_t(width >> 8);
      jpeg[i + 8] = uint8_t(width);
      return true;
    }
  }
  return false;
}
