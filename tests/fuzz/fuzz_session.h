#pragma once
// A game session in a private folder, set up as the game sets up its own.
#include "game/session_fixture.h"

struct TFuzzSession {
  TTempFolder Dir;
  TTestSession Session;
  TFuzzSession() { SetupTestSession(Session, Dir); }
};
