#include "window/SlotDescriptions.h"

#include "errors/ErrorReporter.h"
#include "window/TimeOfDayText.h"

SlotDescriptions describeSlotControls(int slot, const SlotState& state)
{
    const QString row = describeSlot(slot) + QStringLiteral(", ");
    QString start = QStringLiteral("no start time");
    if (state.startTime)
        start = state.startTime->isValid()
            ? QStringLiteral("start ") + timeOfDayText(*state.startTime)
            : QStringLiteral("a start time that never comes");
    return SlotDescriptions{
        row + (state.name.isEmpty() ? QStringLiteral("no file") : state.name),
        row + start,
        row + QStringLiteral("elapsed"),
        row + QStringLiteral("total"),
    };
}
