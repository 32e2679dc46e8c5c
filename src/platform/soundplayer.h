#pragma once

#include <QString>

namespace platform::sound {

// Plays a PCM WAV file on a thread of its own and returns at once. While a
// sound plays a new one is not played. A missing or unreadable file, or no
// sound device, plays nothing and says nothing.
void playAsync(const QString &path);

// True while a sound started by playAsync is still playing.
bool isPlaying();

} // namespace platform::sound
