#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform::sound {

// Plays a PCM WAV file on a thread of its own and returns at once. While a
// sound plays a new one is not played. A missing or unreadable file, or no
// sound device, plays nothing and says nothing.
void playAsync(const QString &path);

// True while a sound started by playAsync is still playing.
bool isPlaying();

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
