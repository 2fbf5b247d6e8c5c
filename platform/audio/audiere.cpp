// Audiere's objects on SDL2_mixer: effects as mixer chunks on channels, streams as mixer music.
#include "audiere.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace audiere {
namespace {

constexpr int outputRate = 44100;
constexpr int outputChannels = 2;
constexpr int bufferFrames = 1024;  // about 23 ms a buffer: a little over one frame pass
constexpr int firstVoiceCount = 16;
constexpr int maxVoiceCount = 256;

class Device final : public AudioDevice {
public:
    ~Device() override;
    void update() override {}
};

// SDL_mixer has one output per process: every OpenDevice while it is open shares it.
Device* openDevice = nullptr;

Device::~Device() {
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    openDevice = nullptr;
}

class MemoryFile final : public File {
public:
    MemoryFile(const void* buffer, int size)
        : bytes_(static_cast<const unsigned char*>(buffer),
                 static_cast<const unsigned char*>(buffer) + size) {}

    const std::vector<unsigned char>& bytes() const { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

class Source final : public SampleSource {
public:
    Source(const FilePtr& file, FileFormat format) : file_(file), format_(format) {}

    FileFormat format() const { return format_; }
    SDL_RWops* open() const {
        const std::vector<unsigned char>& bytes = static_cast<MemoryFile*>(file_.get())->bytes();
        return SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    }

private:
    FilePtr file_;  // the decoders read straight from its bytes
    FileFormat format_;
};

bool looksLikeWav(const std::vector<unsigned char>& bytes) {
    return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
           std::memcmp(bytes.data() + 8, "WAVE", 4) == 0;
}

// An ID3 tag or an MPEG audio frame header.
bool looksLikeMp3(const std::vector<unsigned char>& bytes) {
    if (bytes.size() >= 3 && std::memcmp(bytes.data(), "ID3", 3) == 0) return true;
    return bytes.size() >= 4 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}

FileFormat detectFormat(const std::vector<unsigned char>& bytes) {
    if (looksLikeWav(bytes)) return FF_WAV;
    if (looksLikeMp3(bytes)) return FF_MP3;
    return FF_AUTODETECT;
}

Uint8 gain(float level) {
    return static_cast<Uint8>(std::lround(255.0f * level));
}

// A channel with nothing on it, adding channels when every one is busy.
int idleChannel() {
    int count = Mix_AllocateChannels(-1);
    for (int channel = 0; channel < count; ++channel) {
        if (!Mix_Playing(channel)) return channel;
    }
    if (count >= maxVoiceCount) return -1;
    Mix_AllocateChannels(count * 2);
    return count;
}

class Effect final : public SoundEffect {
public:
    Effect(const AudioDevicePtr& device, Mix_Chunk* chunk, SoundEffectType type)
        : device_(device), chunk_(chunk), type_(type) {}
    ~Effect() override { Mix_FreeChunk(chunk_); }  // also silences its voices

    void play() override;
    void setPan(float pan) override { pan_ = std::clamp(pan, -1.0f, 1.0f); }

private:
    AudioDevicePtr device_;  // the chunk must go before the mixer closes
    Mix_Chunk* chunk_;
    SoundEffectType type_;
    float pan_ = 0.0f;
    int lastChannel_ = -1;
};

void Effect::play() {
    if (type_ == SINGLE && lastChannel_ >= 0 && Mix_GetChunk(lastChannel_) == chunk_) {
        Mix_HaltChannel(lastChannel_);
    }
    int channel = idleChannel();
    if (channel < 0) return;
    // Panned while the channel is idle, so that no buffer is mixed before the pan holds.
    Mix_SetPanning(channel, gain(std::min(1.0f, 1.0f - pan_)), gain(std::min(1.0f, 1.0f + pan_)));
    lastChannel_ = Mix_PlayChannel(channel, chunk_, 0);
}

class Stream;

// The mixer plays one music at a time: the stream that last started it.
Stream* musicOwner = nullptr;

class Stream final : public OutputStream {
public:
    Stream(const AudioDevicePtr& device, const SampleSourcePtr& source, Mix_Music* music)
        : device_(device), source_(source), music_(music) {}
    ~Stream() override;

    void play() override;
    void stop() override {
        if (isPlaying()) Mix_PauseMusic();
    }
    bool isPlaying() override {
        return musicOwner == this && Mix_PlayingMusic() && !Mix_PausedMusic();
    }
    void setVolume(float volume) override;

private:
    bool started() const { return musicOwner == this && Mix_PlayingMusic(); }
    int mixerVolume() const { return static_cast<int>(std::lround(volume_ * MIX_MAX_VOLUME)); }

    AudioDevicePtr device_;
    SampleSourcePtr source_;  // holds the bytes the music reads from
    Mix_Music* music_;
    float volume_ = 1.0f;
};

Stream::~Stream() {
    if (musicOwner == this) {
        Mix_HaltMusic();
        musicOwner = nullptr;
    }
    Mix_FreeMusic(music_);
}

void Stream::play() {
    if (started()) {
        Mix_ResumeMusic();
        return;
    }
    // Not started yet, ended (which rewinds), or displaced by another stream: from the beginning.
    musicOwner = this;
    Mix_VolumeMusic(mixerVolume());
    if (Mix_PlayMusic(music_, 0) != 0) musicOwner = nullptr;
}

void Stream::setVolume(float volume) {
    volume_ = std::clamp(volume, 0.0f, 1.0f);
    if (musicOwner == this) Mix_VolumeMusic(mixerVolume());
}

}  // namespace

AudioDevice* OpenDevice(const char*, const char*) {
    if (openDevice) return openDevice;
    // Allegro keeps its own handlers for SIGINT and SIGTERM.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    if (Mix_OpenAudio(outputRate, AUDIO_S16SYS, outputChannels, bufferFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    // Without MP3 support the device still works; MP3 sources then fail one by one.
    Mix_Init(MIX_INIT_MP3);
    Mix_AllocateChannels(firstVoiceCount);
    openDevice = new Device;
    return openDevice;
}

File* CreateMemoryFile(const void* buffer, int size) {
    if (size < 0 || (!buffer && size > 0)) return nullptr;
    return new MemoryFile(buffer, size);
}

SampleSource* OpenSampleSource(const FilePtr& file, FileFormat format) {
    if (!file) return nullptr;
    FileFormat found = detectFormat(static_cast<MemoryFile*>(file.get())->bytes());
    if (found == FF_AUTODETECT || (format != FF_AUTODETECT && format != found)) return nullptr;
    return new Source(file, found);
}

SoundEffect* OpenSoundEffect(const AudioDevicePtr& device, const SampleSourcePtr& source,
                             SoundEffectType type) {
    if (!device || !source) return nullptr;
    // Closed here: SDL_mixer 2.6 leaks it when asked to close it after a failed decode.
    SDL_RWops* bytes = static_cast<Source*>(source.get())->open();
    Mix_Chunk* chunk = Mix_LoadWAV_RW(bytes, 0);
    SDL_RWclose(bytes);
    if (!chunk) return nullptr;
    return new Effect(device, chunk, type);
}

OutputStream* OpenSound(const AudioDevicePtr& device, const SampleSourcePtr& source, bool) {
    if (!device || !source) return nullptr;
    const Source* decoded = static_cast<Source*>(source.get());
    Mix_MusicType type = decoded->format() == FF_WAV ? MUS_WAV : MUS_MP3;
    Mix_Music* music = Mix_LoadMUSType_RW(decoded->open(), type, 1);
    if (!music) return nullptr;
    return new Stream(device, source, music);
}

}  // namespace audiere
