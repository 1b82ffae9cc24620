#include "game/picture_decode.h"

#include <new>
#include <system_error>
#include <utility>

#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"

TPictureDecode::TPictureDecode(std::vector<uint8_t> bytes, int32_t width, int32_t height, int32_t fitW, int32_t fitH)
    : Bytes_(std::move(bytes)), Width_(width), Height_(height), FitW_(fitW), FitH_(fitH) {
  try {
    Thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    Run();  // no thread to be had: the open waits for the decode instead
  }
}

TPictureDecode::~TPictureDecode() { Join(); }

void TPictureDecode::Join() {
  if (Thread_.joinable()) Thread_.join();
}

void TPictureDecode::Run() {
  try {
    // The picture by its content: a JPEG with or without a JFIF segment, or a bitmap.
    const TPictureKind kind = DetectPictureKind(Bytes_.data(), Bytes_.size());
    bool decoded = false;
    if (kind == TPictureKind::Jpeg)
      decoded = DecodeJpeg(*Picture_, Bytes_.data(), Bytes_.size(), &Why_);
    else if (kind == TPictureKind::Bitmap)
      decoded = DecodeBmp(*Picture_, Bytes_.data(), Bytes_.size(), &Why_);
    std::vector<uint8_t>().swap(Bytes_);
    if (!decoded) {
      if (Why_.empty()) Why_ = "Invalid Jigsaw";
      return;
    }
    if (Picture_->Width != Width_ || Picture_->Height != Height_) {
      Why_ = "Invalid Jigsaw";
      return;
    }
    if (FitW_ > 0 && FitH_ > 0 && (FitW_ != Width_ || FitH_ != Height_)) {
      TDibHolder scaled;
      if (!CreateDib24(*scaled, FitW_, FitH_)) {
        Why_ = "Out of memory";
        return;
      }
      ScaleDib(*scaled, *Picture_);
      std::swap(*scaled, *Picture_);
    }
    Ok_ = true;
  } catch (const std::bad_alloc&) {
    Why_ = "Out of memory";
  } catch (...) {
    Why_ = "Invalid Jigsaw";
  }
}

bool TPictureDecode::Finish(TDibImage& out, std::string& why) {
  Join();
  if (!Ok_ || Taken_) {
    why = Ok_ ? "Invalid Jigsaw" : Why_;
    return false;
  }
  Taken_ = true;
  std::swap(out, *Picture_);
  return true;
}
