// The sound output device: one stream of interleaved PCM that a mixer fills from the
// device's own thread. The wave mixer (a later module) is the only client.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vorn {

struct AudioFormat {
  int sampleRate = 44100;
  int bitsPerSample = 16;
  int channels = 2;
};

class AudioDevice {
 public:
  // Fills `bytes` bytes of samples; runs on the device's thread, must not block long.
  using FillCallback = std::function<void(uint8_t* buffer, size_t bytes)>;

  virtual ~AudioDevice() = default;
  // Opens the device in the given format, paused, playing silence until SetFill. Returns
  // false when there is no device (the player then runs without sound). Main thread.
  virtual bool Open(const AudioFormat& format) = 0;
  virtual bool IsOpen() const = 0;
  // The format actually obtained (valid while open).
  virtual AudioFormat Format() const = 0;
  // Replaces the fill callback (null plays silence); safe against the device thread.
  virtual void SetFill(FillCallback fill) = 0;
  virtual void Pause(bool paused) = 0;
  virtual void Close() = 0;
};

}  // namespace vorn
