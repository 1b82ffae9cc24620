#pragma once
#include <cstdint>
#include <string_view>

// What the program relies on in its artwork under resources/ (made by tools/make-skins).
// Numbered pictures are ":/PNGIMAGE/<id>" and ":/BITMAP/<id>"; cursors ":/CURSOR/<name>".

constexpr int32_t kWeightPinPngId = 2;        // 29 x 37, RGBA
constexpr int32_t kGlassSkinPngId = 3;        // 290 x 189, RGBA
constexpr int32_t kFrameSkinPngId = 4;        // 390 x 170, RGBA
constexpr int32_t kToolbarFacesBitmapId = 1;  // 661 x 91, 24-bit

// The snap animation's sprites: 23 x 23 cells at (24 * s, 0); white is transparent.
inline constexpr const char* kStarPicturePath = ":/images/star.png";
constexpr int32_t kStarSpriteCount = 5;
constexpr int32_t kStarSpriteSize = 23;
constexpr int32_t kStarSpriteStep = 24;

struct TCursorArt {
  const char* Name;
  int32_t HotX, HotY;
};
inline constexpr const char* kCursorResourceKind = "CURSOR";
constexpr int32_t kCursorSize = 32;
// Cursor 1 (an open hand) and cursor 2 (a gripping hand) serve while dragging; the four
// sizing cursors stand for the platform's sizing shapes over window edges and corners.
inline constexpr TCursorArt kCursorArt[] = {
    {"DRAGAAA", 15, 15}, {"DRAGBBB", 15, 16},  {"SIZEWE", 15, 15},
    {"SIZENS", 15, 15},  {"SIZENWSE", 15, 15}, {"SIZENESW", 15, 15},
};

// The cursor of that resource name with its hot spot, or nullptr.
inline const TCursorArt* FindCursorArt(std::string_view name) {
  for (const TCursorArt& c : kCursorArt)
    if (name == c.Name) return &c;
  return nullptr;
}

// Application icon sizes, ":/icons/app-<size>.png".
inline constexpr int32_t kAppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
