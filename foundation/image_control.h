#pragma once
#include <cstdint>
#include <string>

#include "foundation/dib_image.h"

// Where a failed load is told to the player (the application's error display); absent in the
// callers that fail silently.
class TErrorReporter {
 public:
  virtual ~TErrorReporter() = default;
  virtual void ReportError(const std::string& message) = 0;
};

// An image control (`I_Load`, `I_Thumb`, ...) as the logic sees it: the picture it holds. The
// form that shows the control draws this buffer; the logic never touches the widget.
struct TImageControl {
  TDibHolder Picture;
  int32_t Tag = 0;
};

// A new black 24-bit picture of that size.
void InitImageBitmap(TImageControl& image, int32_t width, int32_t height);
// A 24-bit picture of that size, filled with the colour (0x00BBGGRR) when fill is set.
void SetImageBlank(TImageControl& image, int32_t width, int32_t height, bool fill, uint32_t color);
// The JPEG file decoded into the control's picture. On failure the control keeps its picture
// and the reporter, when given, is told the reason once.
bool LoadJpegIntoImage(TImageControl& image, const std::string& path, TErrorReporter* reporter);
