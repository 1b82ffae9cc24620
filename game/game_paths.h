#pragma once
#include <string>

#include "game/game_session.h"
#include "platform/registry.h"

constexpr char kProgramTitle[] = "Zorva Jigsaw Quix";

// The program folder for a program file in exeDir: the build tree's data/ beside it, else the
// installed share folder. Ends with '/'.
std::string ProgramFolder(const std::string& exeDir);

// Computes every path from the program folder and the user's folders, creates the player's
// folders and copies the distributed jigsaws that are missing there (the distributed saved
// games on the first run only).
void InitPaths(TGamePaths& paths, const std::string& programDir, TRegistry& registry);

// At exit: the temporary picture of the last jigsaw read goes.
void FreeStartupLists(const TGamePaths& paths);

// The names listed in the program's "distjiglist.txt", one per line, blank lines skipped.
std::vector<std::string> DistributedJigsaws(const TGamePaths& paths);
