// The part of Audiere's interface the game uses, with Audiere's behaviour, played through
// SDL2_mixer.
#pragma once

namespace audiere {

// Every object starts with no references; the last unref() deletes it.
class RefCounted {
public:
    void ref() { ++count_; }
    void unref() {
        if (--count_ == 0) delete this;
    }

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

private:
    int count_ = 0;
};

// A counted handle: holds one reference while it points at an object.
template <typename T>
class RefPtr {
public:
    // Implicit, as the Open* functions return plain pointers.
    // cppcheck-suppress noExplicitConstructor
    RefPtr(T* ptr = nullptr) { *this = ptr; }  // NOLINT(google-explicit-constructor)
    RefPtr(const RefPtr& other) { *this = other.ptr_; }
    ~RefPtr() { *this = nullptr; }

    RefPtr& operator=(T* ptr) {
        if (ptr == ptr_) return *this;
        // Take the new reference first: the old object may be what keeps the new one alive.
        if (ptr) ptr->ref();
        T* old = ptr_;
        ptr_ = ptr;
        if (old) old->unref();
        return *this;
    }
    RefPtr& operator=(const RefPtr& other) {
        if (this != &other) *this = other.ptr_;
        return *this;
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

private:
    T* ptr_ = nullptr;
};

enum FileFormat { FF_AUTODETECT, FF_WAV, FF_MP3 };

enum SoundEffectType {
    SINGLE,    // play() restarts the one voice
    MULTIPLE,  // every play() starts another voice; they overlap
};

// Sound data in memory.
class File : public RefCounted {};
using FilePtr = RefPtr<File>;

// Encoded sound of a known format, read from a file.
class SampleSource : public RefCounted {};
using SampleSourcePtr = RefPtr<SampleSource>;

class AudioDevice : public RefCounted {
public:
    // Periodic work on the caller's thread; this device mixes on its own thread.
    virtual void update() = 0;
};
using AudioDevicePtr = RefPtr<AudioDevice>;

// A sound decoded once, ready to start at any moment.
class SoundEffect : public RefCounted {
public:
    virtual void play() = 0;
    // -1 left .. +1 right, for the plays that follow; the far side is turned down linearly.
    virtual void setPan(float pan) = 0;
};
using SoundEffectPtr = RefPtr<SoundEffect>;

// A sound decoded while it plays. It plays once; at its end it stops and rewinds.
// Only one stream sounds at a time: playing another ends this one, which then starts again
// from its beginning.
class OutputStream : public RefCounted {
public:
    virtual void play() = 0;  // resumes where stop() left off
    virtual void stop() = 0;  // keeps the position
    virtual bool isPlaying() = 0;
    virtual void setVolume(float volume) = 0;  // 0..1
};
using OutputStreamPtr = RefPtr<OutputStream>;

// The default output, or null when none opens. Name and parameters are accepted and ignored:
// SDL chooses the output (SDL_AUDIODRIVER). While a device is open, this returns the same one.
AudioDevice* OpenDevice(const char* name = nullptr, const char* parameters = nullptr);

// Keeps its own copy of the bytes.
File* CreateMemoryFile(const void* buffer, int size);

// Null when the file does not hold sound of the given (or a recognised) format.
SampleSource* OpenSampleSource(const FilePtr& file, FileFormat format = FF_AUTODETECT);

SoundEffect* OpenSoundEffect(const AudioDevicePtr& device, const SampleSourcePtr& source,
                             SoundEffectType type);

// Every stream here is decoded as it plays, whatever `streaming` asks.
OutputStream* OpenSound(const AudioDevicePtr& device, const SampleSourcePtr& source,
                        bool streaming = false);

}  // namespace audiere
