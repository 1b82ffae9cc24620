#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/piece_styles.h"

// The player's look-and-feel options; read and written with the settings file.
struct TGameOptions {
  TEmbossStyle EmbossStyle = TEmbossStyle::Paper;
  TWoodStyle WoodStyle = TWoodStyle::Shadows;
  int32_t WoodFrameWidth = 0;    // 0, 3 or 5; derived from WoodStyle by the emboss rebuild
  int32_t WoodColor = 0x49687A;  // 0x00BBGGRR
  int32_t StuckKoef = 12;        // snap threshold factor (tenths of the half-knob margin)
  std::string ThumbPath;
  std::string SiteJigsawsDir = "zorva/jigsaws_quix/";
  std::string DnSrc;
  bool UseSecure = false;
  int32_t SecureMethodInd = 5;
};

// The pieces are lit or framed: opening a game builds their emboss maps.
inline bool HasPieceEffects(const TGameOptions& o) {
  return o.EmbossStyle != TEmbossStyle::None || o.WoodStyle != TWoodStyle::None;
}

// A mouse binding: button 0 left, 1 right, 2 middle; shift bits 1 Shift, 2 Alt, 4 Ctrl.
struct TMouseBinding {
  uint8_t Button;
  uint8_t Shift;
};

// 8 bytes, stored whole in saved games.
struct TPlaySettings {
  TMouseBinding RotCW{1, 4};
  TMouseBinding RotCCW{0, 4};
  TMouseBinding MoveOW{1, 0};
  uint8_t SingleMainWindow = 0;
  uint8_t ClickToDrag = 0;
};
static_assert(sizeof(TPlaySettings) == 8);
static_assert(offsetof(TPlaySettings, RotCCW) == 2);
static_assert(offsetof(TPlaySettings, SingleMainWindow) == 6);
