#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Data compiled into the program, found by kind and numeric id as the game asks for it.
// A resource of kind K and id N is the file ":/K/N" of the program's resource collection;
// resources/resources.qrc gives each artwork file that name through an alias, e.g.
//   <file alias="PNGIMAGE/4">skins/frame.png</file>
inline constexpr const char* kPngResourceKind = "PNGIMAGE";
inline constexpr const char* kBitmapResourceKind = "BITMAP";

std::string ProgramResourcePath(const std::string& kind, int32_t id);
// False (and out empty) when there is no such resource.
bool ReadProgramResource(const std::string& kind, int32_t id, std::vector<uint8_t>& out);
