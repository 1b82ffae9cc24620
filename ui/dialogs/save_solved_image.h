#pragma once
#include <functional>
#include <string>

#include "game/game_session.h"

class QWidget;

// Asks where the solved picture goes: the dialog title and the suggested path (pictures
// folder + jigsaw name + ".bmp"); returns the chosen path, empty when the player cancelled.
using TSolvedImagePathChooser =
    std::function<std::string(QWidget* owner, const std::string& title, const std::string& suggested)>;

// The save-solved-image command: a bitmap save dialog (overwrite asked), then the solved
// picture of the session's game with its description and today's short date. True when a
// file was written; a failed write is reported in a warning box. Without a chooser the
// desktop's save dialog asks.
bool SaveSolvedImage(QWidget* owner, TGameSession& s, const std::string& dialogTitle,
                     const TSolvedImagePathChooser& choose = {});
