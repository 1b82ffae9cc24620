#pragma once
#include <string>

// Makes a jigsaw file from a picture and a description text. The picture is scaled to cover
// Width x Height and cut to it around its centre (0 keeps its size), stored as JFIF JPEG; the
// preview, made from the picture unless a file is given, fits the browser's 180 x 135 cell so
// that the browser shows it unscaled.
struct TPackOptions {
  std::string Picture;
  std::string Preview;      // optional
  std::string Description;  // path of a UTF-8 text file
  int Width = 0;
  int Height = 0;
  int Quality = 88;
};

constexpr int PreviewBoxW = 180;
constexpr int PreviewBoxH = 135;

bool PackJigsaw(const TPackOptions& options, const std::string& outPath, std::string* error);
