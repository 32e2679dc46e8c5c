#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform::sound {

// Plays a PCM WAV file on a thread of its own and returns at once. While a
// sound plays a new one is not played. A missing or unreadable file, no sound
// device or no sound library plays nothing and says nothing.
void playAsync(const QString &path);

// What the player takes from the system, replaceable by a test: the sound
// library, loaded by the first sound that finds it, and a call made on the
// player's thread whenever a sound it took is over, played or not.
struct Seam
{
    const char *library = "libasound.so.2"; // a name that stays valid
    void (*finished)() = nullptr;
};

// Puts seam in place of the current one for the sounds taken from now on and
// returns the one it replaced.
Seam setSeam(Seam seam);

enum class SampleFormat { Unsigned8, Signed16, Signed24Packed, Signed32, Float32 };

// Where the samples of a WAV file lie and how to play them.
struct Wave
{
    SampleFormat format = SampleFormat::Signed16;
    int channels = 0;
    int sampleRate = 0;
    int frameSize = 0; // bytes of one sample of every channel
    qsizetype dataOffset = 0; // the samples: bytes.mid(dataOffset, dataSize)
    qsizetype dataSize = 0; // whole frames only
};

// Reads the RIFF/WAVE header of a whole file's bytes. Anything that is not
// uncompressed samples in a known layout, or holds no whole frame, is nothing.
// A data chunk cut short by the end of the file plays as far as it goes.
std::optional<Wave> parseWave(const QByteArray &bytes);

} // namespace platform::sound
