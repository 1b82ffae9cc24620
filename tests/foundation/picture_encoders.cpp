#include "foundation/picture_encoders.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

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
  const bool cmyk = options.ink != TJpegOptions::kRgb;
  const bool adobe = options.ink == TJpegOptions::kCmykAdobe;
  cinfo.input_components = options.grey ? 1 : cmyk ? 4 : 3;
  cinfo.in_color_space = options.grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  if (cmyk) cinfo.write_Adobe_marker = adobe;
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  if (options.fullChroma && !options.grey)
    for (int c = 0; c < cinfo.num_components; ++c)
      cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
  if (options.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(size_t(picture.width) * 4);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = int(cinfo.next_scanline);
    for (int x = 0; x < picture.width; ++x) {
      const TRgb c = picture.At(x, y);
      if (options.grey) {
        row[size_t(x)] = c.r;
      } else if (cmyk) {
        const uint8_t ink[4] = {uint8_t(255 - c.r), uint8_t(255 - c.g), uint8_t(255 - c.b), 0};
        for (int i = 0; i < 4; ++i) row[size_t(x) * 4 + size_t(i)] = adobe ? uint8_t(255 - ink[i]) : ink[i];
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

namespace {
void PngWriteToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void PngFlushNothing(png_structp) {}
}  // namespace

std::vector<uint8_t> EncodeTestPng(const TPngSpec& desc) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, PngWriteToVector, PngFlushNothing);
  png_set_IHDR(png, info, png_uint_32(desc.width), png_uint_32(desc.height), desc.bitDepth,
               desc.colorType, desc.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (const TRgb& c : desc.palette) palette.push_back({c.r, c.g, c.b});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  if (!desc.paletteAlpha.empty())
    png_set_tRNS(png, info, desc.paletteAlpha.data(), int(desc.paletteAlpha.size()), nullptr);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& r : desc.rows) rows.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

namespace {
int GifWriteToVector(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}
}  // namespace

std::vector<uint8_t> EncodeTestGif(const TGifSpec& desc) {
  std::vector<uint8_t> out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, GifWriteToVector, &err);
  std::vector<GifColorType> colors;
  for (const TRgb& c : desc.colors) colors.push_back({c.r, c.g, c.b});
  ColorMapObject* map = GifMakeMapObject(int(colors.size()), colors.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, desc.screenWidth, desc.screenHeight, 8, desc.background,
                    desc.localColors ? nullptr : map);
  if (desc.transparent >= 0) {
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = desc.transparent;
    GifByteType block[4];
    EGifGCBToExtension(&gcb, block);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
  }
  EGifPutImageDesc(gif, desc.left, desc.top, desc.width, desc.height, desc.interlaced,
                   desc.localColors ? map : nullptr);
  static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  const int passes = desc.interlaced ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = desc.interlaced ? kStart[pass] : 0; y < desc.height; y += desc.interlaced ? kStep[pass] : 1)
      EGifPutLine(gif, const_cast<GifPixelType*>(desc.indexes.data() + size_t(y) * desc.width), desc.width);
  EGifCloseFile(gif, &err);
  GifFreeMapObject(map);
  return out;
}

void ExpectRefused(TTestDecoder decode, const std::vector<uint8_t>& bytes) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 1, 1));
  SetDibPixel(*d, 0, 0, 0x00ABCDEF);
  std::string error;
  EXPECT_FALSE(decode(*d, bytes.data(), bytes.size(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(d->Width, 1);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), 0x00ABCDEF);
}

void ExpectPrefixesRefused(TTestDecoder decode, const std::vector<uint8_t>& bytes,
                           const std::vector<size_t>& cuts) {
  for (size_t cut : cuts) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    ExpectRefused(decode, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(cut)));
  }
}
