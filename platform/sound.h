#pragma once
#include <functional>
#include <string>

// Plays a sound file asynchronously and returns at once; silent when there is no audio device.
// When the file is missing, plays the built-in chime if allowDefault, else nothing.
void PlaySoundFile(const std::string& path, bool allowDefault);

// Tests observe what would be played instead of playing it: the sink gets the path that would
// play (the built-in chime as ":default"). An empty function restores real playback.
void SetSoundSink(std::function<void(const std::string& played)> sink);
