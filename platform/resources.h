#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Data compiled into the program, found by kind and numeric id or by name as the game asks for
// it. A resource of kind K and id N is the file resources/K/N.<any extension> of the source
// tree (compiled in as ":/K/N.ext"), e.g. resources/PNGIMAGE/4.png or resources/BITMAP/1.bmp;
// a named one is resources/K/NAME, e.g. resources/CURSOR/DRAGAAA.
inline constexpr const char* kPngResourceKind = "PNGIMAGE";
inline constexpr const char* kBitmapResourceKind = "BITMAP";

// False (and out empty) when there is no such resource.
bool ReadProgramResource(const std::string& kind, int32_t id, std::vector<uint8_t>& out);
// By name: the file named exactly so, else the one file of that name with an extension. Names
// are plain file names: empty ones, path separators, "." and ".." and wildcards find nothing.
bool ReadNamedProgramResource(const std::string& kind, const std::string& name, std::vector<uint8_t>& out);

// The same lookups below another root folder (":" is the program's own collection).
bool ReadResourceBelow(const std::string& root, const std::string& kind, int32_t id, std::vector<uint8_t>& out);
bool ReadNamedResourceBelow(const std::string& root, const std::string& kind, const std::string& name,
                            std::vector<uint8_t>& out);

// A compiled-in file by its path (":/images/star.png"); false (and out empty) when missing.
bool ReadResourceFile(const std::string& path, std::vector<uint8_t>& out);
