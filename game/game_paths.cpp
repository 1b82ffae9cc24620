#include "game/game_paths.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "foundation/file_helpers.h"
#include "platform/temp_files.h"
#include "game/jigsaw_file.h"

// Where the install puts the program folder, seen from the program's own folder.
#ifndef ZORVA_FOLDER_FROM_BIN
#define ZORVA_FOLDER_FROM_BIN "../share/zorva-jigsaw-quix"
#endif

namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// Copies when the target is missing; failures are left alone (the player's folder may be
// read-only, the game still runs).
void CopyIfMissing(const std::string& source, const std::string& target) {
  std::error_code ec;
  if (Exists(target) || !std::filesystem::is_regular_file(source, ec)) return;
  const std::string temp = target.substr(0, target.find_last_of('/') + 1) + TempName("copy");
  if (std::filesystem::copy_file(source, temp, std::filesystem::copy_options::overwrite_existing, ec))
    std::filesystem::rename(temp, target, ec);
  if (ec) std::filesystem::remove(temp, ec);
}

}  // namespace

std::string ProgramFolder(const std::string& exeDir) {
  const std::string dir = WithSlash(exeDir);
  std::error_code ec;
  if (std::filesystem::is_directory(dir + "data/jigsaws", ec)) return dir + "data/";
  return dir + ZORVA_FOLDER_FROM_BIN "/";
}

namespace {

// The file names of a list file, one per line, blank lines skipped.
std::vector<std::string> ListedNames(const std::string& listFile) {
  std::vector<std::string> names;
  std::ifstream in(listFile);
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    // Plain file names only: a list line never reaches outside the jigsaw folders.
    if (line.empty() || line.find('/') != std::string::npos || line == "." || line == "..") continue;
    names.push_back(line);
  }
  return names;
}

}  // namespace

std::vector<std::string> DistributedJigsaws(const TGamePaths& paths) {
  return ListedNames(paths.sExeJigsawDir + "distjiglist.txt");
}

void InitPaths(TGamePaths& p, const std::string& programDir, TRegistry& registry) {
  p.sExeDir = WithSlash(programDir);
  std::string personal, pictures, appData;
  RegReadString(registry, TRegistryRoot::CurrentUser, kShellFoldersKey, "Personal", personal);
  RegReadString(registry, TRegistryRoot::CurrentUser, kShellFoldersKey, "My Pictures", pictures);
  RegReadString(registry, TRegistryRoot::CurrentUser, kShellFoldersKey, "Local AppData", appData);
  const std::string docs = WithSlash(personal.empty() ? registry.Environment.Home : personal);
  p.sMyDocs = docs;
  p.sPicturesDir = WithSlash(pictures.empty() ? p.sExeDir : pictures);
  p.sAppDataDir = WithSlash(appData) + "zorva-jigsaw-quix/";
  std::error_code ec;
  std::filesystem::create_directories(p.sAppDataDir, ec);
  const std::string maker = docs + "Tamo Games/";
  EnsureDir(maker);
  p.sDocsDir = maker + kProgramTitle + "/";
  EnsureDir(p.sDocsDir);
  p.sIniFile = p.sAppDataDir + "zorva.ini";
  p.FirstRun = !Exists(p.sIniFile);
  CopyIfMissing(p.sExeDir + "zorva.ini", p.sIniFile);
  p.sShapeFile = p.sExeDir + "pic_zorva.dat";
  p.sExeJigsawDir = p.sExeDir + "jigsaws/";
  p.sJigsawDir = p.sDocsDir + "Jigsaws/";
  EnsureDir(p.sJigsawDir);
  p.sSavedDir = p.sDocsDir + "Saved Games/";
  EnsureDir(p.sSavedDir);
  p.sAutoSave = p.sSavedDir + kAutoSaveName + kSavedGameExtension;
  // What an interrupted run left: only names with the program's mark, only in the folders the
  // program writes to (downloads unpack into marked folders of the jigsaw folder), and the
  // temporary save of older versions by its own name.
  for (const std::string& folder : {p.sAppDataDir, p.sMyDocs, p.sDocsDir, p.sSavedDir, p.sJigsawDir, p.sPicturesDir})
    RemoveTempLeftovers(folder);
  std::filesystem::remove(p.sSavedDir + "zorva.svt", ec);
  if (p.FirstRun) CopyIfMissing(p.sExeDir + kAutoSaveName + kSavedGameExtension, p.sAutoSave);
  p.TempPictureFile = p.sAppDataDir + "~zjtemp.bmp";
  for (const std::string& name : DistributedJigsaws(p)) CopyIfMissing(p.sExeJigsawDir + name, p.sJigsawDir + name);
  if (p.FirstRun) {
    // The thumbnail folder's list names jigsaws without their extension.
    for (const std::string& name : ListedNames(p.sExeDir + "thumb/jiglist.txt"))
      CopyIfMissing(p.sExeJigsawDir + name + JigsawExtension, p.sJigsawDir + name + JigsawExtension);
    if (auto saved = ListFiles(p.sExeJigsawDir, kSavedGameExtension, false))
      for (const std::string& name : *saved) CopyIfMissing(p.sExeJigsawDir + name, p.sSavedDir + name);
  }
}

void FreeStartupLists(const TGamePaths& paths) {
  std::error_code ec;
  if (!paths.TempPictureFile.empty()) std::filesystem::remove(paths.TempPictureFile, ec);
}
