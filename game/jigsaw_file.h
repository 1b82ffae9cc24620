#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/image_control.h"
#include "foundation/level_record.h"

// A jigsaw file (".zvq"): the magic "ZORVA1.0" with its zero byte, the picture's width and
// height, a 10-byte tag block, the preview (fixed preview key), then one description text and
// one picture (rotating keys). Anything after the picture is ignored.

constexpr char JigsawExtension[] = ".zvq";
constexpr char JigsawMagic[9] = {'Z', 'O', 'R', 'V', 'A', '1', '.', '0', '\0'};
constexpr int32_t JigsawHeaderSize = 27;  // magic, width, height, tag block
constexpr int32_t JigsawTagBlockSize = 10;

// The fixed part at the start of the file.
struct TJigsawHeader {
  int32_t ImageW = 0;
  int32_t ImageH = 0;
  uint8_t TagBlock[JigsawTagBlockSize] = {};
  // Byte 0 of the block indexes the tag byte. An index of 10 or more points nowhere: tag 0.
  int32_t Tag() const { return TagBlock[0] < JigsawTagBlockSize ? TagBlock[TagBlock[0]] : 0; }
};

// Picture sizes a jigsaw may declare: positive and within what a bitmap of the game can hold.
bool IsSanePictureSize(int32_t width, int32_t height);

// Reads and checks the magic and the header at the start of f. Refuses a wrong magic and
// picture sizes that are zero, negative or absurd.
bool ReadJigsawHeader(TBinaryReader& f, TJigsawHeader& header);

// Reads the description and the picture of the variant the level record names (SideInd of
// SideNum, starting at SidePos[SideNum]).
bool ReadJigsawVariant(TBinaryReader& f, const TLevelRecord& level, std::vector<uint8_t>& description,
                       std::vector<uint8_t>& picture);

// Writes a one-variant jigsaw file; the picture must be JFIF JPEG or a bitmap of the header's
// size. The game itself never writes jigsaws: our packer tool does.
bool WriteJigsawFile(const std::string& path, const TJigsawHeader& header, std::span<const uint8_t> preview,
                     std::span<const uint8_t> description, std::span<const uint8_t> picture);

// The picture size fitted into a play area of areaW x areaH (aspect kept, never enlarged).
void FitPictureToArea(TLevelRecord& level, int32_t areaW, int32_t areaH);

// What reading a jigsaw borrows from the game and the browser.
struct TJigsawOpenTarget {
  TLevelRecord& CurrentLevel;   // filled by OpenJigsawSelect
  TImageControl& Load;          // the browser's I_Load: receives the preview (Select and Thumbnail)
  std::string TempPictureFile;  // receives every extracted embedded file
  // The play area that fit-to-screen fits into; no limit when absent.
  std::function<void(int32_t& width, int32_t& height)> PlayArea;
  // OpenJigsawGame, opening the game itself, belongs to the game-start code, which supplies it
  // here.
  std::function<bool(const std::string& path)> OpenGame;
};

enum class TJigsawOpenMode : uint8_t {
  OpenJigsawSelect = 0,     // the browser's selection: header and preview
  OpenJigsawGame = 1,       // the game: picture, cut, pieces
  OpenJigsawThumbnail = 2,  // the browser's thumbnail: preview only
};
using enum TJigsawOpenMode;

// False for a missing file, an extension other than ".zvq" (any case), a wrong magic, a bad
// header, a truncated file or a preview that is no JPEG or bitmap or fails to decode. Nothing
// of the target changes then.
bool OpenJigsaw(const std::string& path, TJigsawOpenMode mode, TJigsawOpenTarget& target);
