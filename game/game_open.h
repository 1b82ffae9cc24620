#pragma once
#include <cstdint>
#include <string>

#include "game/game_session.h"

// Starting a game from a jigsaw file, and the picture and window helpers that the saved-game
// reader shares.

// The side windows take a content size of the play field, at least the picture's size; both
// unscrolled, the Second Side a copy of the First.
void LayoutGameWindows(TSkinWindows& windows, TFieldArea& field, int32_t w, int32_t h);
// The Thumbnail window's limits for a picture of w x h, its size a quarter of it, and a new
// thumbnail buffer of the largest client size.
void SizeThumbnailWindow(TSkinWindows& windows, TDibImage& thumbImage, int32_t w, int32_t h);
// The picture scaled into the top left of the thumbnail buffer at the window's client size.
void DrawThumbnailImage(TGameSession& s);

// Pictures and masks of rotations 1..3 from rotation 0 (the masks keep their 5-pixel margin at
// the right and bottom), one progress step each; without rotation the six are freed. False
// when memory runs out.
bool BuildRotatedImages(TGameState& g);

// The seed of a new game: a whole number typed in the visible seed panel, else the
// generator's state. The generator is left at the seed.
int32_t ApplySeedRule(TRandom& rng, const TOpenChoices& choices);

// A level record for a jigsaw of the default choices (the level page's piece count), the
// picture size taken from the header fields already in level.
bool ApplyLevelChoices(TLevelRecord& level, const TLevelRecord& defaults, bool fitToScreen);

// Opens the game of a jigsaw file: the picture (fitted when asked), the cut, the rotated
// pictures, the first turns and places of the pieces, the frame piece, the emboss maps and
// empty pockets. s.Game.CurrentLevel must describe the file (the browser's selection). The
// new game is built apart and replaces the running one only when everything succeeded; a
// failure leaves the running game, its windows and its flags as they were.
bool StartJigsawGame(TGameSession& s, const std::string& path, const TOpenChoices& choices);

// The knob set and templates the cut needs; once per session.
bool PrepareCutter(TGameSession& s);

// Hides a pocket, refreshing its caption; the windows count the pieces of the session's game.
void ResetPocket(TGameSession& s, int32_t pocket);
void UpdatePocketCaption(TGameSession& s, int32_t pocket);
// A window's content size from its pieces, within its maximum client size.
void UpdateWindowContent(TGameSession& s, int32_t window);

// Swaps two games' pictures, masks and wood maps.
void SwapGameImages(TGameImages& a, TGameImages& b);
// Moves a game built apart into the live one, keeping the live one's host, options, progress
// and field sizes.
void AdoptGame(TGameState& live, TGameState& fresh);

// What a game opened from a file brings besides its state.
struct TOpenedGame {
  TDibImage* Picture;                // the loaded picture, taken over; null: the game keeps none
  TDibImage& Thumb;                  // the preview saved games store, taken over
  const std::vector<uint8_t>& Info;  // the description
  int32_t PictureW, PictureH;
  std::string Jig, JigName, Solve;  // the files it came from (s.sJig, s.sJigName, s.sSolve)
};
// The game built apart replaces the running one with what it brings; the side and thumbnail
// windows are laid out for its picture, and nothing of it counts as unsaved.
void AdoptOpenedGame(TGameSession& s, TGameState& fresh, const TOpenedGame& opened);
