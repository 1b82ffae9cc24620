#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/field.h"
#include "game/game_session.h"
#include "game/settings_file.h"

// The main window's services and commands that need no window: pockets, tiling, gathering,
// backgrounds, recent files and small texts.

// --- Pockets ----------------------------------------------------------------------------------

// Where a newly shown empty pocket goes: a quarter of the field, in the top right corner, or
// 40 pixels left of and below the lowest-left other visible pocket, kept inside the field.
TSkinRect NewPocketBounds(const TSkinWindows& ws, int32_t pocket, int32_t fieldW, int32_t fieldH);
// Shows or hides pocket 2..5. A pocket holding pieces keeps its place; an empty one is placed.
// The host's PocketChanged refreshes its caption, toolbar face and menu check. The session's
// form serves opening and continuing, before a field is around.
void ShowPocket(TField& f, int32_t pocket, bool show);
void ShowPocket(TGameSession& s, int32_t pocket, bool show);
// Hidden pockets holding pieces are shown; the visible ones form one column at the right edge
// (tile) or a staircase ending there (cascade). False when no pocket is visible.
bool TilePockets(TField& f);
bool CascadePockets(TField& f);

// --- Gather -----------------------------------------------------------------------------------

// The longest run of equal groups in the order (the first on a tie); a run ending with the last
// entry counts it, a last entry that starts a run of its own is not measured. Returns the run's
// first entry, -1 for none; length receives its length.
int32_t LongestGroupRun(const std::vector<TPieceOrderEntry>& order, int32_t& length);
// Everything onto the First Side: the selection cleared, a held group dropped where it is,
// the pockets emptied and hidden, the largest group (half the pieces or more) drawn first, the
// strays pulled into view.
void GatherPieces(TField& f);

// --- Backgrounds ------------------------------------------------------------------------------

// At most one background picture among the windows: later different codes, and every use of a
// code that cannot be loaded, become the neutral grey.
void ResolveWindowBackgrounds(TViewState& v, const std::function<bool(int32_t)>& loadPicture);

// --- Recent files and texts -------------------------------------------------------------------

// path to the top of the list (newest first, case ignored), the oldest falling off a full list.
void AddRecentFile(TSettings& st, const std::string& path);
// "1.23 Mb", "12 Kb" or "512 Bytes".
std::string FormatByteSize(int32_t n);
// The progress bar's width at step pos of max.
int32_t ProgressBarWidth(int32_t emptyWidth, int32_t pos, int32_t max);
// Message texts mark their line breaks with "$D".
std::string MessageLineBreaks(const std::string& text);

// --- Weight -----------------------------------------------------------------------------------

// The weight command with the pointer at field point (x, y): a held group becomes the weight
// group; else the pin is picked up at the pointer (off the field: out of sight) or, when it is
// already being dragged, put away; with the weight mode on, the mode ends.
void WeightCommand(TField& f, int32_t x, int32_t y);

// The language keys of the two per-window menu items for the active window: "MI_GameBkgWin1"
// and "MI_GameSelectAllWin1" for a side, "MI_GameBkgPocket2" ... for a pocket.
void WindowMenuKeys(const TSkinWindow& w, std::string& bkgKey, std::string& selectAllKey);
