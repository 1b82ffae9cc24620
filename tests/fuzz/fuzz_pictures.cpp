// Pictures: every decoder, chosen by content as the loaders choose it.
#include <cstring>

#include "foundation/dib_image.h"
#include "foundation/picture_loading.h"
#include "fuzz/fuzz_target.h"

ZORVA_FUZZ_TARGET(pictures) {
  TDibHolder image;
  CreateDib24(*image, 3, 2);
  SetDibPixel(*image, 2, 1, 0x123456);
  std::string error;
  if (DecodePicture(*image, data, size, &error)) {
    FUZZ_CHECK(image->Width > 0 && image->Height > 0 && image->Bits);
    // No format codes more than a few thousand pixels in a byte.
    FUZZ_CHECK(int64_t(image->Width) * image->Height <= int64_t(size) * 4096 + 65536);
  } else {
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(image->Width == 3 && image->Height == 2 && GetDibPixel(*image, 2, 1) == 0x123456);
  }
}
