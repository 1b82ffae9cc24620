// Decoding speed of the picture formats the browser and the game open: a 1600 x 1200 photo-like
// JPEG (a jigsaw picture) and the same picture as a bitmap (the temporary picture file).
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <vector>

#include "foundation/dib_image.h"
#include "foundation/picture_loading.h"

namespace {

constexpr int kWidth = 1600, kHeight = 1200;

void FillPhotoLike(TDibImage& d) {
  for (int y = 0; y < d.Height; ++y) {
    uint8_t* p = DibScanLine(d, y);
    for (int x = 0; x < d.Width; ++x, p += 3) {
      p[0] = uint8_t((x * 7 + y * 3) ^ (x >> 3));
      p[1] = uint8_t((x + y) / 5);
      p[2] = uint8_t(x * y >> 9);
    }
  }
}

// Written by Qt's own JPEG writer, so the bench needs no encoder of its own.
std::vector<uint8_t> PhotoJpeg(bool progressive) {
  TDibHolder d;
  CreateDib24(*d, kWidth, kHeight);
  FillPhotoLike(*d);
  // Memory order is bottom-up; for speed the picture may as well stand on its head.
  const QImage image(d->Bits, kWidth, kHeight, d->RowStride, QImage::Format_BGR888);
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(85);
  writer.setProgressiveScanWrite(progressive);
  writer.write(image);
  const QByteArray& bytes = buffer.data();
  return {bytes.begin(), bytes.end()};
}

void DecodeBytes(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  TDibHolder d;
  for (auto _ : state) {
    if (!DecodePicture(*d, bytes.data(), bytes.size())) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(d->Bits);
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
}

void BM_DecodeJpegBaseline(benchmark::State& state) { DecodeBytes(state, PhotoJpeg(false)); }
void BM_DecodeJpegProgressive(benchmark::State& state) { DecodeBytes(state, PhotoJpeg(true)); }

void BM_DecodeBitmap(benchmark::State& state) {
  TDibHolder d;
  CreateDib24(*d, kWidth, kHeight);
  FillPhotoLike(*d);
  std::vector<uint8_t> bmp;
  EncodeBmp24(*d, bmp);
  DecodeBytes(state, bmp);
}

BENCHMARK(BM_DecodeJpegBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpegProgressive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBitmap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
