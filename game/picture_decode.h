#pragma once
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "foundation/dib_image.h"

// The jigsaw's picture decoded on a thread of its own while the open cuts: the cut needs only
// the picture's size, which the jigsaw's header has already told.
class TPictureDecode {
 public:
  // Starts at once. The picture must come out width x height; with fitW, fitH > 0 it is then
  // scaled to that size.
  TPictureDecode(std::vector<uint8_t> bytes, int32_t width, int32_t height, int32_t fitW = 0, int32_t fitH = 0);
  ~TPictureDecode();  // waits for the thread
  TPictureDecode(const TPictureDecode&) = delete;
  TPictureDecode& operator=(const TPictureDecode&) = delete;

  // Waits: true with the picture swapped into out, else false with the player's message in why.
  // Only the first call hands over the picture.
  bool Finish(TDibImage& out, std::string& why);

 private:
  void Run();
  void Join();

  std::vector<uint8_t> Bytes_;
  int32_t Width_, Height_, FitW_, FitH_;
  TDibHolder Picture_;
  bool Ok_ = false;
  bool Taken_ = false;
  std::string Why_;
  std::thread Thread_;
};
