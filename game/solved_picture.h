#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/dib_image.h"
#include "game/game_state.h"

// The picture a solved game saves: the assembled pieces framed by one black pixel, with two
// white caption bands below, (W + 2) x (H + 52) for a W x H picture.
constexpr int32_t kSolvedBandHeight = 24;
constexpr int32_t kSolvedExtraHeight = 52;

// The first band's title: every line of the description whose trimmed text is not empty,
// each followed by three blanks; "Unknown image" when there is none.
std::string SolvedPictureTitle(const std::vector<std::string>& descriptionLines);

// Builds the picture into `image` (a fresh 24-bit buffer). `dateText` is today's date as the
// desktop writes it short. False when there is no picture to build from.
bool BuildSolvedPicture(TGameState& g, const std::vector<std::string>& descriptionLines, const std::string& dateText,
                        TDibImage& image);

// Builds the picture and writes it to `path` as a Windows bitmap.
bool SaveSolvedPicture(TGameState& g, const std::vector<std::string>& descriptionLines, const std::string& dateText,
                       const std::string& path, std::string* error = nullptr);

// The file name the save dialog offers: the jigsaw's name with the extension ".bmp".
std::string SolvedPictureFileName(const std::string& jigName);
