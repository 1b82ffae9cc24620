#include "foundation/picture_codec_common.h"
#include "foundation/picture_loading.h"
bool DecodePng(TDibImage&, const uint8_t*, size_t, std::string* error) { return picture_codec::Fail(error, "PNG not available yet"); }
bool DecodeBmp(TDibImage&, const uint8_t*, size_t, std::string* error) { return picture_codec::Fail(error, "BMP not available yet"); }
bool DecodeGif(TDibImage&, const uint8_t*, size_t, std::string* error) { return picture_codec::Fail(error, "GIF not available yet"); }
bool EncodeBmp24(const TDibImage&, std::vector<uint8_t>&) { return false; }
