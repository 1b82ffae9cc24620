#pragma once
#include <map>
#include <string>

#include "fuzz/fuzz_target.h"

// The harnesses of the replay test, by name (the name of their corpus folder).
std::map<std::string, TFuzzTarget>& FuzzTargets();
