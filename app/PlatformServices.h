#pragma once

#include <functional>
#include <memory>

class Clock;
class ClockSync;
class FileDialog;
class InputBox;
class MediaPlayer;
class MessageBox;
class MixerHold;
class ProgramExit;
class SoundFileCheck;
class SoundOutputCheck;

// Everything the window needs from the platform. Production wires the real
// clock, boxes, players and dialogs; tests wire doubles that answer at once.
// The services outlive the window.
struct PlatformServices {
    Clock& clock;
    MessageBox& messageBox;
    InputBox& inputBox;
    ProgramExit& programExit;
    std::function<std::unique_ptr<MediaPlayer>(int slot)> makePlayer;
    // The players' shared mixer, held while the players of one start are told.
    MixerHold& mixerHold;
    std::function<std::unique_ptr<FileDialog>(int slot)> makeFileDialog;
    // Asked off the GUI thread, ahead of the starts.
    SoundOutputCheck& soundOutputCheck;
    const SoundFileCheck& soundFileCheck;
    const ClockSync& clockSync;
};
