#include "playback/RunStopButtons.h"

#include "errors/ErrorReporter.h"
#include "model/Timetable.h"
#include "platform/Clock.h"
#include "platform/MediaPlayer.h"
#include "platform/PlatformError.h"
#include "sounding/SlotStarter.h"

RunStopButtons::RunStopButtons(
    Timetable& timetable, SlotStarter& starter, const Clock& clock, ErrorReporter& errors)
    : t_(timetable), starter_(starter), players_(starter.players()), clock_(clock), errors_(errors)
{
}

void RunStopButtons::run(int slot)
{
    starter_.runClicked(slot, clock_.now().time());
}

void RunStopButtons::stop(int slot)
{
    if (hasFile(t_.slot(slot), slot)) {
        // Silent at once, however long the file takes to open again.
        players_[std::size_t(slot)]->pause();
        reopen(slot);
    }
    t_.stopped(slot);
}

void RunStopButtons::reopen(int slot)
{
    const QString path = t_.slot(slot).path;
    const OpenTicket asked = t_.askOpen(slot);
    players_[std::size_t(slot)]->open(path, [this, slot, path, asked](const QString& refusal) {
        switch (t_.answerOpen(slot, asked, !refusal.isEmpty())) {
        case AnswerVerdict::Taken:
            return true;
        case AnswerVerdict::Refused:
            // The file can no longer be opened (moved, deleted, its drive
            // gone) and the player keeps what it had, held where the click
            // left it.
            errors_.fromClick(slot, namingFile(path, PlatformError(refusal)).reason());
            return false;
        case AnswerVerdict::StartedMeanwhile:
            // A start after the click stands; so does its sound.
        case AnswerVerdict::Stale:
            break;
        }
        return false;
    });
}
