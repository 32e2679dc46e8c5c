#include "filesystem.h"
#include "loadedlibrary.h"
#include "soundplayer.h"

#include <QFile>

#include <algorithm>
#include <alsa/asoundlib.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace platform::sound {

namespace {

// Trivially destructible, so the player thread may still read it while the
// process ends.
std::atomic<bool> soundPlaying {false};

// Sound files of the program are a few hundred kilobytes; this keeps a stray
// huge file from being read into memory.
constexpr qsizetype largestWaveFile = 64 * 1024 * 1024;

quint16 littleEndian16(const char *at)
{
    const auto *b = reinterpret_cast<const unsigned char *>(at);
    return static_cast<quint16>(b[0] | (b[1] << 8));
}

quint32 littleEndian32(const char *at)
{
    const auto *b = reinterpret_cast<const unsigned char *>(at);
    return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
}

bool chunkIdIs(const char *at, const char *id)
{
    return std::memcmp(at, id, 4) == 0;
}

constexpr quint16 formatPcm = 1;
constexpr quint16 formatFloat = 3;
constexpr quint16 formatExtensible = 0xFFFE;

std::optional<SampleFormat> sampleFormatOf(quint16 format, quint16 bits)
{
    if (format == formatPcm) {
        switch (bits) {
        case 8:
            return SampleFormat::Unsigned8;
        case 16:
            return SampleFormat::Signed16;
        case 24:
            return SampleFormat::Signed24Packed;
        case 32:
            return SampleFormat::Signed32;
        default:
            return std::nullopt;
        }
    }
    if (format == formatFloat && bits == 32)
        return SampleFormat::Float32;
    return std::nullopt;
}

snd_pcm_format_t alsaFormatOf(SampleFormat format)
{
    switch (format) {
    case SampleFormat::Unsigned8:
        return SND_PCM_FORMAT_U8;
    case SampleFormat::Signed16:
        return SND_PCM_FORMAT_S16_LE;
    case SampleFormat::Signed24Packed:
        return SND_PCM_FORMAT_S24_3LE;
    case SampleFormat::Signed32:
        return SND_PCM_FORMAT_S32_LE;
    case SampleFormat::Float32:
        return SND_PCM_FORMAT_FLOAT_LE;
    }
    return SND_PCM_FORMAT_UNKNOWN;
}

// ALSA writes its own complaints (no card, unknown device) to stderr; a sound
// that cannot be played must say nothing.
void silentAlsaErrors(const char *, int, const char *, int, const char *, ...)
{
}

// The sound library is loaded by the first sound, on the player thread, not
// by every start of the program: most sessions play nothing, and loading it
// costs a start about as much as drawing a page. A system without it plays
// nothing, as one without a sound card does.
struct Alsa
{
    decltype(&snd_pcm_open) pcmOpen = nullptr;
    decltype(&snd_pcm_nonblock) pcmNonblock = nullptr;
    decltype(&snd_pcm_set_params) pcmSetParams = nullptr;
    decltype(&snd_pcm_writei) pcmWritei = nullptr;
    decltype(&snd_pcm_recover) pcmRecover = nullptr;
    decltype(&snd_pcm_drop) pcmDrop = nullptr;
    decltype(&snd_pcm_drain) pcmDrain = nullptr;
    decltype(&snd_pcm_close) pcmClose = nullptr;
};

std::optional<Alsa> loadAlsa(const char *name)
{
    // Kept loaded to the end of the process: a sound may still be draining.
    void *library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return std::nullopt;
    Alsa alsa;
    decltype(&snd_lib_error_set_handler) setErrorHandler = nullptr;
    if (!lookUp(library, "snd_lib_error_set_handler", setErrorHandler) || !lookUp(library, "snd_pcm_open", alsa.pcmOpen)
        || !lookUp(library, "snd_pcm_nonblock", alsa.pcmNonblock)
        || !lookUp(library, "snd_pcm_set_params", alsa.pcmSetParams)
        || !lookUp(library, "snd_pcm_writei", alsa.pcmWritei) || !lookUp(library, "snd_pcm_recover", alsa.pcmRecover)
        || !lookUp(library, "snd_pcm_drop", alsa.pcmDrop) || !lookUp(library, "snd_pcm_drain", alsa.pcmDrain)
        || !lookUp(library, "snd_pcm_close", alsa.pcmClose))
        return std::nullopt;
    setErrorHandler(silentAlsaErrors);
    return alsa;
}

// Only the player's thread calls this, one sound at a time. A library that
// was not there is looked for again by the next sound.
const Alsa *alsa(const char *library)
{
    static const char *loadedFrom = nullptr;
    static std::optional<Alsa> loaded;
    if (!loaded || std::strcmp(library, loadedFrom) != 0) {
        loaded = loadAlsa(library);
        loadedFrom = library;
    }
    return loaded ? &*loaded : nullptr;
}

// A sound file that is a pipe, a device or a folder is silence at once: it
// would otherwise hold this thread, and with it every later sound.
std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file;
    filesystem::openForReading(file, path);
    if (file.size() > largestWaveFile)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// What one playing thread shares with the code that may have to stop it.
struct Playback
{
    std::atomic<bool> stop {false};
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
};

void play(const QByteArray &bytes, const Wave &wave, const Playback &playback, const char *libraryName)
{
    const Alsa *const library = alsa(libraryName);
    if (!library)
        return;
    snd_pcm_t *pcm = nullptr;
    // Non-blocking open: a device held by another program is silence, not a wait.
    if (library->pcmOpen(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return;
    const unsigned int latencyMicroseconds = 200000;
    if (library->pcmNonblock(pcm, 0) < 0
        || library->pcmSetParams(pcm, alsaFormatOf(wave.format), SND_PCM_ACCESS_RW_INTERLEAVED,
                                 static_cast<unsigned int>(wave.channels), static_cast<unsigned int>(wave.sampleRate),
                                 1, latencyMicroseconds)
               < 0) {
        library->pcmClose(pcm);
        return;
    }

    // Small pieces, so that a stop at the end of the process is seen soon.
    const snd_pcm_uframes_t piece
        = std::max<snd_pcm_uframes_t>(1, static_cast<snd_pcm_uframes_t>(wave.sampleRate / 20));
    const char *data = bytes.constData() + wave.dataOffset;
    snd_pcm_uframes_t framesLeft = static_cast<snd_pcm_uframes_t>(wave.dataSize / wave.frameSize);
    while (framesLeft > 0 && !playback.stop.load()) {
        const snd_pcm_sframes_t written = library->pcmWritei(pcm, data, std::min(piece, framesLeft));
        if (written < 0) {
            if (library->pcmRecover(pcm, static_cast<int>(written), 1) < 0)
                break;
            continue;
        }
        data += written * wave.frameSize;
        framesLeft -= static_cast<snd_pcm_uframes_t>(written);
    }
    if (playback.stop.load())
        library->pcmDrop(pcm);
    else
        library->pcmDrain(pcm);
    library->pcmClose(pcm);
}

void playFile(const QString &path, const std::shared_ptr<Playback> &playback, const Seam &seam)
{
    try {
        if (const std::optional<QByteArray> bytes = readWholeFile(path)) {
            if (const std::optional<Wave> wave = parseWave(*bytes))
                play(*bytes, *wave, *playback, seam.library);
        }
    } catch (...) {
        // A file that cannot be read, or no memory for it: silence like any
        // other sound that cannot be played. Nothing may escape a thread.
    }
    soundPlaying.store(false);
    if (seam.finished)
        seam.finished();
    const std::lock_guard lock(playback->mutex);
    playback->finished = true;
    playback->finishedChanged.notify_all();
}

// Owns the one player thread. At the end of the process it stops a sound
// that is still playing and waits for its thread before the libraries it uses
// are torn down.
class Player
{
public:
    Player() = default;
    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;

    ~Player()
    {
        const std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            return;
        m_playback->stop.store(true);
        std::unique_lock finishedLock(m_playback->mutex);
        const bool finished = m_playback->finishedChanged.wait_for(finishedLock, std::chrono::seconds(2),
                                                                   [this] { return m_playback->finished; });
        finishedLock.unlock();
        // A device that hangs must not hang the end of the program: the
        // thread then keeps its own share of the state and ends with the process.
        if (finished)
            m_thread.join();
        else
            m_thread.detach();
    }

    void start(const QString &path)
    {
        if (soundPlaying.exchange(true))
            return;
        const std::lock_guard lock(m_mutex);
        // The previous sound has ended (the flag was clear); its thread is
        // at most returning.
        if (m_thread.joinable())
            m_thread.join();
        m_playback = std::make_shared<Playback>();
        try {
            m_thread = std::thread(playFile, path, m_playback, m_seam);
        } catch (...) {
            soundPlaying.store(false);
        }
    }

    Seam setSeam(Seam seam)
    {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_seam, seam);
    }

private:
    std::mutex m_mutex;
    std::thread m_thread;
    std::shared_ptr<Playback> m_playback;
    Seam m_seam;
};

Player &player()
{
    static Player instance;
    return instance;
}

} // namespace

std::optional<Wave> parseWave(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    if (size < 12 || !chunkIdIs(data, "RIFF") || !chunkIdIs(data + 8, "WAVE"))
        return std::nullopt;

    std::optional<Wave> wave;
    qsizetype at = 12;
    while (at + 8 <= size) {
        const char *chunk = data + at;
        const qint64 chunkSize = littleEndian32(chunk + 4);
        const qsizetype body = at + 8;
        const qint64 available = size - body;

        if (chunkIdIs(chunk, "fmt ")) {
            if (chunkSize < 16 || chunkSize > available)
                return std::nullopt;
            const char *fmt = data + body;
            quint16 format = littleEndian16(fmt);
            const quint16 channels = littleEndian16(fmt + 2);
            const quint32 sampleRate = littleEndian32(fmt + 4);
            const quint16 blockAlign = littleEndian16(fmt + 12);
            const quint16 bits = littleEndian16(fmt + 14);
            if (format == formatExtensible) {
                // The real format is the first two bytes of the sub-format GUID.
                if (chunkSize < 40)
                    return std::nullopt;
                format = littleEndian16(fmt + 24);
            }
            const std::optional<SampleFormat> sampleFormat = sampleFormatOf(format, bits);
            if (!sampleFormat || channels < 1 || channels > 32 || sampleRate < 1000 || sampleRate > 768000
                || blockAlign != channels * (bits / 8))
                return std::nullopt;
            wave = Wave {*sampleFormat, channels, static_cast<int>(sampleRate), blockAlign, 0, 0};
        } else if (chunkIdIs(chunk, "data")) {
            if (!wave)
                return std::nullopt;
            // Recorders that were cut off leave a size beyond the end of the file.
            const qint64 dataSize = std::min(chunkSize, available);
            wave->dataOffset = body;
            wave->dataSize = dataSize - dataSize % wave->frameSize;
            if (wave->dataSize == 0)
                return std::nullopt;
            return wave;
        }
        // Chunks are padded to an even size.
        at = body + chunkSize + (chunkSize & 1);
    }
    return std::nullopt;
}

void playAsync(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return;
    player().start(path);
}

Seam setSeam(Seam seam)
{
    return player().setSeam(seam);
}

} // namespace platform::sound
