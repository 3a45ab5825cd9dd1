#include "editing/SlotFileChooser.h"

#include "errors/ErrorReporter.h"
#include "errors/HandlerFailures.h"
#include "model/Timetable.h"
#include "platform/FileDialog.h"
#include "platform/MediaPlayer.h"

#include <QFileInfo>

SlotFileChooser::SlotFileChooser(Timetable& timetable, const SlotPlayers& players,
    const std::array<FileDialog*, SlotCount>& dialogs, ErrorReporter& errors)
    : t_(timetable), players_(players), dialogs_(dialogs), errors_(errors)
{
}

void SlotFileChooser::choose(int slot)
{
    runClickSteps(errors_, slot, [&] {
        const std::optional<QString> chosen =
            dialogs_[std::size_t(slot)]->askOpen(QStringLiteral("mp3file(*.mp3)|*.mp3"));
        // Cancel opens the slot's file again, as a new choice of it.
        const QString path = chosen.value_or(t_.slot(slot).path);
        if (path.isEmpty()) {
            t_.takeFile(slot, path);
            return;
        }
        // The slot keeps its old file until the new one has answered.
        const OpenTicket asked = t_.askOpen(slot);
        players_[std::size_t(slot)]->open(path, [this, slot, path, asked](const QString& refusal) {
            return answered(slot, path, asked, refusal);
        });
    });
}

bool SlotFileChooser::answered(
    int slot, const QString& path, const OpenTicket& asked, const QString& refusal)
{
    switch (t_.answerOpen(slot, asked, !refusal.isEmpty())) {
    case AnswerVerdict::Stale:
        return false;
    case AnswerVerdict::Refused:
        errors_.fromClick(slot, namingFile(path, PlatformError(refusal)).reason());
        return false;
    case AnswerVerdict::StartedMeanwhile:
        // The start stands: its sound is not cut for a file that came late.
        errors_.fromTick(slot,
            QStringLiteral("%1 was not taken: it answered after the slot had started; the slot "
                           "keeps %2 (choose it again)")
                .arg(QFileInfo(path).fileName(), t_.slot(slot).name));
        return false;
    case AnswerVerdict::Taken:
        break;
    }
    t_.takeFile(slot, path);
    return true;
}
