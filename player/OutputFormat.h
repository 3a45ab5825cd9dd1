#pragma once

// The one format the mixer works in and hands to the sound device: 32-bit
// float, interleaved stereo, 44.1 kHz (the rate of nearly every MP3). Every
// file is converted to it before it reaches a voice, so a sample counted in
// the mixer is always 1/44100 s of the file, whatever its own rate.
namespace OutputFormat {
inline constexpr int SampleRate = 44100;
inline constexpr int Channels = 2;
} // namespace OutputFormat
