#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/game_session.h"
#include "game/settings_file.h"
#include "platform/system_info.h"

constexpr char kReportFileName[] = "zorva-report.txt";

// " ssShift ssCtrl" for the shift byte's bits, in a fixed order; empty for none.
std::string ShiftStateText(uint8_t shift);
// "mbLeft", "mbRight", "mbMiddle"; empty for anything else.
std::string MouseButtonText(uint8_t button);

// What the report needs beyond the game and the settings.
struct TReportEnv {
  std::string Date;     // now, in the short date and time form
  std::string ExePath;  // the program file
  std::string ExeDate;  // its time stamp; empty when the file was not found
  bool Solved = false;
  int32_t ScreenWidth = 0, ScreenHeight = 0, BitsPerPixel = 0, Planes = 1;
  TSystemFacts System;
};

// The report's lines. Counts the windows' groups (sorting the pieces as the count does).
std::vector<std::string> BuildSystemReport(TGameSession& s, const TSettings& st, const TReportEnv& env);
// The lines into the file, replacing it safely; false when it could not be written.
bool WriteReportFile(const std::string& path, const std::vector<std::string>& lines);
