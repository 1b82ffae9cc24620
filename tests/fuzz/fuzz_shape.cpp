// The shape file, and what the cut then does with its outlines.
#include "engine/shape_file.h"
#include "fuzz/fuzz_target.h"
#include "platform/bitmap.h"
#include "platform/metafile.h"

ZORVA_FUZZ_TARGET(shape) {
  TShapeFile shapes;
  if (!ParseShapeFile(data, size, shapes)) {
    FUZZ_CHECK(shapes.ShapeCount == 0 && shapes.ShapeDirectory.empty());
    return;
  }
  TPlatformBitmap* target = CreatePlatformBitmap(64, 64, 24);
  for (int32_t i = 0; i < shapes.ShapeCount && i < 8; ++i) {
    ShapeMetafile(shapes, i);
    TMetafile& mf = shapes.CurrentShape;
    RecolorMetafile(mf, 0x102030);
    MirrorMetafile(mf, true, true);
    int32_t w = 0, h = 0;
    RotateMetafile(mf, double(int(data[size - 1 - size_t(i) % size]) % 60 - 30), w, h);
    FUZZ_CHECK(w >= 1 && h >= 1);
    // As the cut draws it: at its turned size, clipped to the cut map.
    PlayMetafile(mf, *target, -w / 2, -h / 2, w, h, {0, 0, 63, 63});
  }
  DestroyPlatformBitmap(target);
}
