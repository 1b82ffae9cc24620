#include "game/solved_picture.h"

#include "foundation/dib_ops.h"
#include "foundation/lang.h"
#include "foundation/picture_loading.h"
#include "game/piece_draw.h"
#include "platform/text.h"

namespace {

bool IsBlank(const std::string& s) {
  for (unsigned char c : s)
    if (c > ' ') return false;
  return true;
}

std::u16string Utf16(const std::string& s) { return Utf8ToUtf16(s); }

// Writes the pieces of the second band one after another, each starting where the last ended.
struct TBandWriter {
  TDibImage& Image;
  int32_t X;
  int32_t Y;
  int32_t Limit;
  void Write(const std::u16string& text, bool bold, uint32_t color) {
    const TTextFont font{"Tahoma", 10, bold};
    const int32_t w = TextWidth(text, font);
    if (X < Limit)
      DrawBitmapText(*Image.Bitmap, X, Y, Limit - X, kSolvedBandHeight - 2, text, font, color, kTextSingleLine);
    X += w;
  }
};

}  // namespace

std::string SolvedPictureTitle(const std::vector<std::string>& descriptionLines) {
  std::string title;
  for (const std::string& line : descriptionLines)
    if (!IsBlank(line)) title += line + "   ";
  return title.empty() ? std::string("Unknown image") : title;
}

bool BuildSolvedPicture(TGameState& g, const std::vector<std::string>& descriptionLines, const std::string& dateText,
                        TDibImage& image) {
  FreeDib(image);
  const TDibImage& picture = g.Images.PictureImages[0];
  const int32_t w = picture.Width, h = picture.Height;
  if (w <= 0 || h <= 0) return false;
  if (!CreateDib24(image, w + 2, h + kSolvedExtraHeight)) return false;
  FillDibRect(image, 0, 0, image.Width, image.Height, 0);

  // Each piece's box lands one pixel in from the corner, as the assembled picture lies.
  TSkinRect all;
  SetSkinRectBounds(all, 0, 0, image.Width, image.Height);
  const int32_t live = LivePieceCount(g);
  for (int32_t i = 0; i < live; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    TPieceView view;
    view.Client = all;
    view.ScrollX = p.X - (p.BoxX + 1);
    view.ScrollY = p.Y - (p.BoxY + 1);
    DrawPieceClipped(g, image, all, view, i);
  }

  FillDibRect(image, 1, h + 2, w, kSolvedBandHeight, 0xFFFFFF);
  FillDibRect(image, 1, h + 27, w, kSolvedBandHeight, 0xFFFFFF);

  const TTextFont normal{"Tahoma", 10, false};
  const std::u16string title = Utf16(SolvedPictureTitle(descriptionLines));
  DrawBitmapText(*image.Bitmap, 10, h + 6, w + 1 - 10, kSolvedBandHeight - 4, title, normal, 0, kTextSingleLine);

  TBandWriter band{image, 10, h + 31, w + 1};
  band.Write(u"Assembled from  ", false, 0);
  band.Write(Utf16(std::to_string(live)), true, 0);
  band.Write(u"  pieces", false, 0);
  if (g.GameLevel.BorderStyle != TBorderStyle::None) band.Write(u"  with border", false, 0x808000);
  if (g.GameLevel.Rotate != 0) band.Write(u"  with rotation", false, 0xFF0000);

  const std::u16string date = Utf16(dateText);
  const int32_t dateX = w - 8 - TextWidth(date, normal);
  if (dateX < w + 1)
    DrawBitmapText(*image.Bitmap, dateX, h + 31, w + 1 - dateX, kSolvedBandHeight - 2, date, normal, 0,
                   kTextSingleLine);
  return true;
}

bool SaveSolvedPicture(TGameState& g, const std::vector<std::string>& descriptionLines, const std::string& dateText,
                       const std::string& path, std::string* error) {
  TDibHolder image;
  if (!BuildSolvedPicture(g, descriptionLines, dateText, *image)) {
    if (error) *error = "no solved picture";
    return false;
  }
  return SaveBmpFile(*image, path, error);
}

std::string SolvedPictureFileName(const std::string& jigName) {
  const size_t slash = jigName.find_last_of("/\\");
  const size_t dot = jigName.find_last_of('.');
  const std::string stem =
      dot != std::string::npos && (slash == std::string::npos || dot > slash) ? jigName.substr(0, dot) : jigName;
  return stem + ".bmp";
}
