#pragma once

// The one format the mixer works in and hands to the sound device: 32-bit
// float, interleaved stereo, 44.1 kHz (the rate of nearly every MP3). Every
// file is converted to it before it reaches a voice, so a sample counted in
// the mixer is always 1/44100 s of the file, whatever its own rate.
namespace OutputFormat {
inline constexpr int SampleRate = 44100;
inline constexpr int Channels = 2;
// Frames per device buffer. Scheduled starts are placed ahead on the sample,
// so the buffer no longer sets how soon they are heard; it is sized for few
// wake-ups of the audio thread while keeping a start by hand (which waits for
// the next buffer, then the one queued before it) under 50 ms.
inline constexpr int DeviceBufferFrames = 1024;
} // namespace OutputFormat
