// The playback families that the original player reached through a companion library: Ogg
// playback, Ogg decoding for the wave mixer, Windows Media audio and video. Here they are
// in-process modules behind these interfaces; the media modules implement them and the
// engine owns one of each (null until a module exists, and the callers then do nothing).
// Their playback threads read engine streams only under CompanionModules::streamLock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "resources/stream.h"

namespace vorn {

// A handle of one item in a family; 0 is never a valid handle.
using CompanionHandle = uint32_t;

// Streamed Ogg Vorbis playback on its own thread.
class OggPlayback {
 public:
  virtual ~OggPlayback() = default;
  // Takes the stream (read under streamLock from the playback thread); isOgg false means the
  // data must be recognised by content. Returns 0 when it cannot be played.
  virtual CompanionHandle Add(std::unique_ptr<Stream> stream, bool isOgg) = 0;
  virtual void Delete(CompanionHandle item) = 0;
  virtual void Restore(CompanionHandle item) = 0;  // rebuild buffers after a device loss
  virtual void Play(CompanionHandle item) = 0;
  virtual void Pause(CompanionHandle item, bool paused) = 0;
  virtual bool Paused(CompanionHandle item) = 0;
  virtual bool Playing(CompanionHandle item) = 0;
  virtual void End(CompanionHandle item) = 0;
  virtual uint32_t Length(CompanionHandle item) = 0;                 // ms
  virtual uint32_t Position(CompanionHandle item) = 0;               // ms
  virtual void SetPosition(CompanionHandle item, uint32_t ms) = 0;
  virtual void SetRepeat(CompanionHandle item, bool repeat, uint32_t fromMs) = 0;
  virtual void SetVolume(CompanionHandle item, int volume) = 0;
  virtual void SetPan(CompanionHandle item, int pan) = 0;
};

// Ogg decoding to PCM for the wave mixer.
struct OggStreamFormat {
  int sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 16;
};
class OggDecoding {
 public:
  virtual ~OggDecoding() = default;
  virtual CompanionHandle Add(std::unique_ptr<Stream> stream, bool isOgg) = 0;
  virtual bool GetFormat(CompanionHandle item, OggStreamFormat& format) = 0;
  virtual size_t Read(CompanionHandle item, void* buffer, size_t bytes) = 0;
  virtual uint64_t Size(CompanionHandle item) = 0;       // PCM bytes
  virtual uint64_t Position(CompanionHandle item) = 0;   // PCM bytes
  virtual void Seek(CompanionHandle item, uint64_t position) = 0;
  virtual uint32_t Length(CompanionHandle item) = 0;     // ms
  virtual void Delete(CompanionHandle item) = 0;
};

// Windows Media audio, played from data held in memory.
class MediaPlayback {
 public:
  virtual ~MediaPlayback() = default;
  virtual CompanionHandle Add(const void* data, size_t size) = 0;
  virtual void Delete(CompanionHandle item) = 0;
  virtual void Restore(CompanionHandle item) = 0;
  virtual void Play(CompanionHandle item) = 0;
  virtual void Pause(CompanionHandle item, bool paused) = 0;
  virtual int State(CompanionHandle item) = 0;
  virtual uint32_t Length(CompanionHandle item) = 0;
  virtual uint32_t Position(CompanionHandle item) = 0;
  virtual void SetPosition(CompanionHandle item, uint32_t ms) = 0;
  virtual void SetVolume(CompanionHandle item, int volume) = 0;
  virtual void SetPan(CompanionHandle item, int pan) = 0;
  virtual void SetRepeat(CompanionHandle item, bool repeat) = 0;
  // Player notifications (the private messages 0x680, 0x681, 0x683 of the original).
  virtual void ProcessEvent(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

// Video decoding and display over the game screen.
struct VideoRect {
  int x = 0, y = 0, width = 0, height = 0;
};
class VideoPlayback {
 public:
  virtual ~VideoPlayback() = default;
  virtual CompanionHandle Add(std::unique_ptr<Stream> stream) = 0;
  virtual void Delete(CompanionHandle item) = 0;
  virtual void SuspendAll() = 0;  // before a display switch
  virtual void ResumeAll() = 0;   // after it
  virtual void Play(CompanionHandle item) = 0;
  virtual void Pause(CompanionHandle item, bool paused) = 0;
  virtual int State(CompanionHandle item) = 0;
  virtual uint32_t Length(CompanionHandle item) = 0;
  virtual uint32_t Position(CompanionHandle item) = 0;
  virtual void SetPosition(CompanionHandle item, uint32_t ms) = 0;
  virtual void SetRect(CompanionHandle item, const VideoRect& rect) = 0;
  virtual void SetVisible(CompanionHandle item, bool visible) = 0;
  virtual void SetVolume(CompanionHandle item, int volume) = 0;
  virtual void SetPan(CompanionHandle item, int pan) = 0;
  virtual void SetRepeat(CompanionHandle item, bool repeat) = 0;
  virtual void SourceSize(CompanionHandle item, int& width, int& height) = 0;
  virtual bool NeedsPaint(CompanionHandle item) = 0;
  // Display changes and panel paints (0x7E, 0x682 and the paint of the original).
  virtual void ProcessEvent(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

// The families the engine owns; created at start-up (InitDll) and ended last at shutdown.
struct CompanionModules {
  std::mutex streamLock;  // guards every engine stream a playback thread reads
  std::unique_ptr<OggPlayback> ogg;
  std::unique_ptr<OggDecoding> oggStreams;
  std::unique_ptr<MediaPlayback> wmp;
  std::unique_ptr<VideoPlayback> video;

  // Ends every family (the library's final call): video first, Ogg streams last.
  void Final() {
    video.reset();
    wmp.reset();
    ogg.reset();
    oggStreams.reset();
  }
};

}  // namespace vorn
