#pragma once

#include "FakeClock.h"
#include "FakeClockSync.h"
#include "FakeFileDialog.h"
#include "FakeMediaPlayer.h"
#include "FakeSoundChecks.h"
#include "RecordingProgramExit.h"
#include "ScriptedInputBox.h"
#include "ScriptedMessageBox.h"
#include "app/MainWindow.h"

#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class PasswordDialog;
class QPushButton;
class QTimer;
class QWidget;

// The main window wired to test doubles, shown on the offscreen screen and
// loaded as at program start (or left as created, for the window's first state). Tests click its
// real buttons and answer its boxes through the doubles.
class FormHarness {
public:
    enum class Start { Loaded, AsCreated };
    using PlayerFactory = std::function<std::unique_ptr<MediaPlayer>(int slot)>;
    // Players are FakeMediaPlayers unless a test brings its own, and then
    // perhaps the sound output they play through, as mixer and as check.
    explicit FormHarness(Start start = Start::Loaded, PlayerFactory makePlayer = {},
        MixerHold* mixer = nullptr, SoundOutputCheck* output = nullptr);
    ~FormHarness();

    MainWindow& form() { return *form_; }
    WindowControls& c() { return form_->controls(); }
    Timetable& timetable() { return form_->timetable(); }
    SlotControls& slot(int i) { return c().slot(i); }
    // Only with the harness's own fake players.
    FakeMediaPlayer& player(int i) { return *players_.at(std::size_t(i)); }
    // Whichever player the slot has.
    MediaPlayer& anyPlayer(int i) { return *form_->players().at(std::size_t(i)); }
    FakeFileDialog& dialog(int i) { return *dialogs_[std::size_t(i)]; }

    FakeClock clock;
    ScriptedMessageBox messageBox;
    ScriptedInputBox inputBox;
    RecordingProgramExit programExit;
    FakeSoundOutputCheck outputCheck;
    FakeMixerHold mixerHold;
    FakeSoundFileCheck fileCheck;
    FakeClockSync clockSync;
    // Every player call in order, e.g. "play 3".
    QStringList journal;

    static void click(QPushButton* button);
    // One tick of the timer, as the event loop delivers it; a stopped timer,
    // like a disabled button, does nothing.
    static void tick(QTimer* timer);
    // Gives the slot the file at `path` as the operator does, "&Select" and
    // the dialog's answer, and waits until the player has taken it. A locked
    // window is unlocked for it and locked again.
    void giveFile(int slot, const QString& path);
    // Enters the slot's start time as the operator does: "&KelTime" and the
    // time typed into the box as "hh:mm:ss". A locked window is unlocked for
    // it and locked again.
    void enterStartTime(int slot, QTime time);
    // Runs `steps` on the unlocked window: a locked one is unlocked for them
    // and locked again after, as the operator does.
    void whileUnlocked(const std::function<void()>& steps);
    // Types text into a widget key by key, as a keyboard or an input method
    // would, including characters beyond Latin-1.
    static void type(QWidget* widget, const QString& text);
    // Runs the event loop until the checks made ahead of the starts have
    // answered and what they found is taken in.
    void finishChecks();
    // Unlocks the way the operator does: "&UnLock", the right user name and
    // password typed into the dialog, "&Enter".
    void unlock();
    // The password dialog, null until "&UnLock" was first pressed.
    PasswordDialog* passwordDialog();

private:
    std::array<FakeMediaPlayer*, SlotCount> players_{};
    std::array<FakeFileDialog*, SlotCount> dialogs_{};
    std::unique_ptr<PlatformServices> services_;
    std::unique_ptr<MainWindow> form_;
};
