#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Data compiled into the program, found by kind and numeric id as the game asks for it.
// A resource of kind K and id N is the file resources/K/N.<any extension> of the source tree
// (compiled in as ":/K/N.ext"), e.g. resources/PNGIMAGE/4.png or resources/BITMAP/1.bmp.
inline constexpr const char* kPngResourceKind = "PNGIMAGE";
inline constexpr const char* kBitmapResourceKind = "BITMAP";

// False (and out empty) when there is no such resource.
bool ReadProgramResource(const std::string& kind, int32_t id, std::vector<uint8_t>& out);

// The same lookup below another root folder (":" is the program's own collection).
bool ReadResourceBelow(const std::string& root, const std::string& kind, int32_t id,
                       std::vector<uint8_t>& out);

// A compiled-in file by its path (":/images/star.png"); false (and out empty) when missing.
bool ReadResourceFile(const std::string& path, std::vector<uint8_t>& out);
