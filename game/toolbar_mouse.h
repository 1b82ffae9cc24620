#pragma once
#include <cstdint>

#include "foundation/toolbar.h"

// The image toolbar's mouse: the button under the pointer shows its down face, a press moves
// its control one pixel right and down, and the release, wherever it happens, clicks it.

// The pointer over button `button` (ignored while the left button is down).
void ToolbarButtonMouseMove(TToolbar& t, int32_t button, bool leftDown);
// A press on button `button`: the pressed look for the button under the pointer.
void ToolbarButtonMouseDown(TToolbar& t, int32_t button);
// The release: the pressed button back in place; returns the button whose menu item is
// clicked, or -1.
int32_t ToolbarButtonMouseUp(TToolbar& t);
// The pointer over the toolbar's background: the button under the pointer turns normal.
void ToolbarBackgroundMouseMove(TToolbar& t);
// A press on the panel outside the buttons counts as the close button's in full screen (its
// control shown) when it lies right of its left edge and above its bottom: the screen's top
// right corner closes the game.
bool ToolbarCloseCornerHit(const TToolbar& t, int32_t x, int32_t y);
