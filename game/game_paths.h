#pragma once
#include <string>

#include "game/game_session.h"
#include "platform/registry.h"

constexpr char kProgramTitle[] = "Zorva Jigsaw Quix";

// The program folder for a program file in exeDir: the build tree's data/ beside it, else the
// installed share folder. Ends with '/'.
std::string ProgramFolder(const std::string& exeDir);

// Computes every path from the program folder and the user's folders, creates the player's
// folders with every folder missing above them and copies the distributed jigsaws that are
// missing there (the distributed saved games on the first run only). A folder that cannot be
// made or written is named in FolderProblem, with what the player loses by it; without a jigsaw
// folder of the player's, sJigsawDir is the program's own.
void InitPaths(TGamePaths& paths, const std::string& programDir, TRegistry& registry);

// Where the player's jigsaws belong and downloads go (sDocsDir + "Jigsaws/"), even when
// sJigsawDir had to fall back to the program's folder.
std::string PlayerJigsawFolder(const TGamePaths& paths);

// At exit: the temporary picture of the last jigsaw read goes.
void FreeStartupLists(const TGamePaths& paths);

// The names listed in the program's "distjiglist.txt", one per line, blank lines skipped.
std::vector<std::string> DistributedJigsaws(const TGamePaths& paths);
