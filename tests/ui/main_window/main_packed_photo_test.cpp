#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <fstream>
#include <string>

#include "foundation/dib_image.h"
#include "pack.h"
#include "ui/main_window/answered_main_window.h"

namespace {

using PackedPhotos = AnsweredMainWindow;

// A picture in four solid quadrants: red, green / blue, white.
QImage Quadrants(int w, int h, QImage::Format format) {
  QImage image(w, h, format);
  QPainter p(&image);
  p.fillRect(0, 0, w / 2, h / 2, Qt::red);
  p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
  p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
  p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::white);
  return image;
}

bool Near(int32_t colour, int32_t want) {
  for (int shift : {0, 8, 16})
    if (std::abs(((colour >> shift) & 255) - ((want >> shift) & 255)) > 24) return false;
  return true;
}

// A player packs a photo of each kind the game reads, a camera's 48-megapixel photo among them,
// and plays it: the game opens the jigsaw at the asked size with the photo's pixels.
TEST_F(PackedPhotos, EveryKindOfPhotoPacksAndPlays) {
  const struct {
    const char* file;
    const char* format;
    int w, h;
    QImage::Format pixels;
    int packW, packH;
  } cases[] = {
      {"camera.jpg", "jpg", 8000, 6000, QImage::Format_RGB888, 1600, 1200},
      {"scan.png", "png", 640, 480, QImage::Format_RGBA64, 0, 0},
      {"paint.bmp", "bmp", 640, 480, QImage::Format_RGB888, 0, 0},
  };
  Start();
  std::ofstream(dir.File("about.txt")) << "A photo\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(Quadrants(c.w, c.h, c.pixels).save(QString::fromStdString(dir.File(c.file)), c.format));
    TPackOptions o;
    o.Picture = dir.File(c.file);
    o.Description = dir.File("about.txt");
    o.Width = c.packW;
    o.Height = c.packH;
    std::string error;
    ASSERT_TRUE(PackJigsaw(o, dir.File("photo.zvq"), &error)) << error;
    ASSERT_TRUE(Open(dir.File("photo.zvq"), 13, 4, 5));
    const int w = c.packW ? c.packW : c.w, h = c.packH ? c.packH : c.h;
    const TGameState& g = main->Session().Game;
    EXPECT_EQ(g.GameLevel.ImageW, w);
    EXPECT_EQ(g.GameLevel.ImageH, h);
    const TDibImage& picture = g.Images.PictureImages[0];
    EXPECT_TRUE(Near(GetDibPixel(picture, w / 4, h / 4), 0x0000FF));
    EXPECT_TRUE(Near(GetDibPixel(picture, w * 3 / 4, h * 3 / 4), 0xFFFFFF));
    EXPECT_TRUE(shown.empty());
  }
}

}  // namespace
