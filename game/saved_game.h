#pragma once
#include <cstdint>
#include <string>

#include "foundation/binary_file.h"
#include "game/game_session.h"
#include "game/piece_array.h"

// A saved game (".sv1"): the magic "ZORVASLV1.0", the game seed, the position of the
// game-state block, the jigsaw name, the level record, then four embedded files (thumbnail,
// picture, cut map, description; fixed keys), then the game-state block: view state, play
// settings, the piece records, four pocket blocks and a trailer.

constexpr char SavedGameMagic[11] = {'Z', 'O', 'R', 'V', 'A', 'S', 'L', 'V', '1', '.', '0'};
constexpr int32_t kStateOffsetPosition = 15;
constexpr int32_t kMaxJigsawNameLength = 256;  // with its zero byte
constexpr int32_t kPocketBlockSize = 26;
constexpr int32_t kTrailerSize = 264;
constexpr int32_t GameStateStamp = 0xDACA;

// 10 when the buffer begins with the magic, else 0.
int32_t CheckSavedGameMagic(const char* buffer);

// Size of the game-state block of a game of n pieces.
int64_t GameStateSize(int32_t pieceCount);

// Writes the game-state block at the writer's position.
bool WriteGameState(TGameSession& s, TBinaryWriter& f);

// The game is written whole into a temporary file beside path that replaces path only once it
// is complete; when path already holds this very game (same name, level record and sizes),
// only its game-state block is replaced, just as safely. A manual save to any other file also
// brings the autosave up to date. False, with a message and every earlier file untouched,
// when anything fails.
bool SaveGame(TGameSession& s, const std::string& path, bool isAutoSave);

// True when path holds the open game and its game-state block has been replaced (atomically).
bool RewriteGameStateInPlace(TGameSession& s, const std::string& path);

enum class TSavedOpenMode : uint8_t {
  OpenSavedSelect = 0,     // the browser's selection: header and thumbnail
  OpenSavedContinue = 1,   // continue the game
  OpenSavedThumbnail = 2,  // the browser's thumbnail
};
using enum TSavedOpenMode;

// Select and Thumbnail read the header and the thumbnail into load (Select also fills
// s.Game.CurrentLevel and s.sSvJigName). Continue reads the whole file, checks every count,
// size and index in it, and only then replaces the running game. A refused file shows a
// message (Continue) and leaves everything as it was.
bool OpenSavedGameFile(TGameSession& s, const std::string& path, TSavedOpenMode mode, TImageControl* load = nullptr);

// The autosave timer's tick: saves to the autosave when a game is loaded, autosave is on, the
// game changed, nothing holds the autosave, no save runs, nothing is being dragged and an
// interval has passed since the last one. True when it saved.
bool AutoSaveTick(TGameSession& s, double nowSeconds);
