#include "game/system_report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "foundation/binary_file.h"
#include "game/game_paths.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "game/settings_table.h"

namespace {

constexpr char kRule[] = "========================================";

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

double Megabytes(uint64_t bytes) { return double(bytes / 1024) / 1024; }

void Section(std::vector<std::string>& out, const char* title) {
  out.emplace_back();
  out.emplace_back(title);
  out.emplace_back();
}

template <class Row>
std::string ReportValue(const Row& row, const typename Row::Type& v) {
  if constexpr (std::is_same_v<typename Row::Type, std::string>) {
    return v;
  } else {
    const int32_t n = row.ToNumber(v);
    switch (row.Report) {
      case TReportForm::Hex: return Fmt("%X", unsigned(n));
      case TReportForm::Button: return MouseButtonText(uint8_t(n));
      case TReportForm::Shift: return ShiftStateText(uint8_t(n));
      case TReportForm::Value: break;
    }
    return std::to_string(n);
  }
}

// The settings with a report name, in groups, in the table's order.
void ReportSettings(std::vector<std::string>& out, const TSettingsValues& values) {
  const char* group = nullptr;
  ForEachSetting([&](const auto& row) {
    if (!row.ReportName) return;
    if (!group || std::strcmp(group, row.ReportGroup) != 0) {
      group = row.ReportGroup;
      out.emplace_back("----------");
      out.emplace_back(group);
    }
    out.push_back(std::string(row.ReportName) + " = " + ReportValue(row, row.Field(values)));
  });
}

}  // namespace

std::string ShiftStateText(uint8_t shift) {
  static const char* const names[] = {" ssShift", " ssAlt", " ssCtrl", " ssLeft", " ssRight", " ssMiddle", " ssDouble"};
  std::string text;
  for (int bit = 0; bit < 7; ++bit)
    if (shift & (1u << bit)) text += names[bit];
  return text;
}

std::string MouseButtonText(uint8_t button) {
  switch (button) {
    case 0: return "mbLeft";
    case 1: return "mbRight";
    case 2: return "mbMiddle";
    default: return {};
  }
}

std::vector<std::string> BuildSystemReport(TGameSession& s, const TSettings& st, const TReportEnv& env) {
  std::vector<std::string> out;
  out.emplace_back(kRule);
  out.push_back(std::string(kProgramTitle) + " System Report");
  out.emplace_back();
  out.push_back("Date: " + env.Date);
  out.emplace_back();

  out.emplace_back("------ Program ------");
  out.emplace_back();
  out.emplace_back("Version 1.45");
  out.emplace_back("December 30, 2024");
  out.push_back("Exe path = " + env.ExePath);
  if (!env.ExeDate.empty()) out.push_back("Exe date = " + env.ExeDate);

  TGameState& g = s.Game;
  if (g.GameLoaded) {
    const TLevelRecord& l = g.GameLevel;
    Section(out, "------ Jigsaw ------");
    out.push_back("sJig: " + s.sJig);
    out.push_back("sSolve: " + s.sSolve);
    out.push_back("sJigName: " + s.sJigName);
    out.push_back(Fmt("GameSeed = %d", l.GameSeed));
    out.push_back(Fmt("ImageW = %d, ImageH = %d", l.ImageW, l.ImageH));
    out.push_back(Fmt("JigsL = %d, JigsT = %d", l.JigsL, l.JigsT));
    out.push_back(Fmt("MaskS = %d, TileS = %d", l.MaskS, l.TileS));
    out.push_back(Fmt("TilePX = %d, TilePY = %d", l.TilePX, l.TilePY));
    out.push_back(Fmt("PicPX = %d, PicPY = %d", l.PicPX, l.PicPY));
    out.push_back(Fmt("TileNum = %d, TotalTileNum = %d", l.TileNum, l.TotalTileNum));
    out.push_back(Fmt("Level = %d", l.Level));
    out.push_back(Fmt("Rotate = %d", l.Rotate));
    out.push_back(Fmt("BorderStyle = %d", int(l.BorderStyle)));
    out.push_back(Fmt("ShapeStyle = %d", int(l.ShapeStyle)));
    out.push_back(Fmt("SpreadOut = %d", l.SpreadOut));
    out.push_back(Fmt("FitToScreen = %d", l.FitToScreen));
    out.push_back(Fmt("SideNum = %d", l.SideNum));
    out.push_back(Fmt("Jigs in MW_SIDE0 = %d", CountWindowPieces(s.Game, 0, true)));
    out.push_back(Fmt("Jigs in MW_SIDE1 = %d", CountWindowPieces(s.Game, 1, true)));
    for (int32_t k = 0; k < 4; ++k)
      out.push_back(Fmt("Jigs in MW_POCKET%d = %d", k, CountWindowPieces(s.Game, k + 2, true)));
    const TSolvedPercent solved = SolvedPercent(g, env.Solved);
    out.push_back(Fmt("iUnsolvedNum = %d", solved.Groups));
    out.push_back(Fmt("iSolvedPercent = %d", solved.Percent));
  }

  Section(out, "------ Options ------");
  out.push_back(Fmt("lBkg = %X", unsigned(s.ViewState.lBkg)));
  ReportSettings(out, SettingsValuesOf(s, st));

  Section(out, "------ Screen ------");
  out.push_back(Fmt("ScreenW = %d, ScreenH = %d", env.ScreenWidth, env.ScreenHeight));
  out.push_back(Fmt("BitsPerPixel = %d", env.BitsPerPixel));
  out.push_back(Fmt("Planes = %d", env.Planes));

  const TSystemFacts& sys = env.System;
  Section(out, "------ OS ------");
  out.push_back("Name = " + sys.Os.Name);
  out.push_back("PrettyName = " + sys.Os.PrettyName);
  out.push_back("Version = " + sys.Os.Version);
  out.push_back("VersionId = " + sys.Os.VersionId);
  out.push_back("Kernel = " + sys.KernelName);
  out.push_back("KernelRelease = " + sys.KernelRelease);
  out.push_back("KernelVersion = " + sys.KernelVersion);

  Section(out, "------ System ------");
  out.push_back("SystemProductName = " + sys.ProductName);
  out.push_back("SystemManufacturer = " + sys.Manufacturer);
  out.push_back("Machine = " + sys.Machine);
  out.push_back(Fmt("CPU count = %d", sys.CpuCount));
  out.push_back("ProcessorNameString = " + sys.CpuModel);

  const TMemoryFacts& m = sys.Memory;
  Section(out, "------ Memory ------");
  out.push_back(Fmt("Memory Load = %d%s", m.LoadPercent, "%"));
  out.push_back(Fmt("Total Physical = %0.0f Mb", Megabytes(m.TotalPhysical)));
  out.push_back(Fmt("Avail Physical = %0.3f Mb", Megabytes(m.AvailPhysical)));
  out.push_back(Fmt("Total Virtual  = %0.0f Mb", Megabytes(m.TotalVirtual)));
  out.push_back(Fmt("Avail Virtual  = %0.3f Mb", Megabytes(m.AvailVirtual)));
  out.push_back(Fmt("Total PageFile = %0.0f Mb", Megabytes(m.TotalSwap)));
  out.push_back(Fmt("Avail PageFile = %0.0f Mb", Megabytes(m.AvailSwap)));
  for (const TDiskFree& d : sys.Disks)
    out.push_back("\"" + d.Path + "\"" + Fmt(" drive free space = %0.0f Mb", Megabytes(d.FreeBytes)));
  out.emplace_back();
  out.emplace_back(kRule);
  return out;
}

bool WriteReportFile(const std::string& path, const std::vector<std::string>& lines) {
  TBinaryWriter w;
  if (!w.Create(path, false)) return false;
  for (const std::string& line : lines) {
    w.Write(line.data(), int64_t(line.size()));
    w.Write("\n", 1);
  }
  return w.Commit();
}
