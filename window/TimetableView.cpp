#include "window/TimetableView.h"

#include "model/Timetable.h"
#include "window/LabelColour.h"
#include "window/SlotDescriptions.h"
#include "window/SlotTexts.h"
#include "window/TimeOfDayText.h"
#include "window/WindowControls.h"
#include "window/WrappingLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

quint32 colourOf(FileMark mark)
{
    switch (mark) {
    case FileMark::Sounding:
        return LabelColour::Red;
    case FileMark::Quiet:
        return LabelColour::ButtonText;
    case FileMark::Stopped:
        return LabelColour::Black;
    case FileMark::Unmarked:
        break;
    }
    return LabelColour::SlotText;
}

// Every button that is to be enabled is enabled before any is disabled, so
// the focus leaving a button that goes (such as "&Lock" on locking) has one
// to go to.
void showEnabled(WindowControls& c, const ControlsEnabled& enabled)
{
    for (const bool pass : {true, false}) {
        const auto set = [pass](QPushButton* button, bool on) {
            if (on == pass)
                button->setEnabled(on);
        };
        set(c.unlockButton, enabled.unlock);
        set(c.quitButton, enabled.quit);
        set(c.lockButton, enabled.lock);
        for (int i = 0; i < SlotCount; ++i) {
            const SlotControls& s = c.slot(i);
            const SlotButtonsEnabled& row = enabled.rows[std::size_t(i)];
            set(s.chooseFileButton, row.chooseFile);
            set(s.setTimeButton, row.setTime);
            set(s.runButton, row.run);
            set(s.stopButton, row.stop);
        }
    }
}

// Set only when it changes: each change is an event a screen reader hears.
void describe(QWidget* widget, const QString& description)
{
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

void showDescriptions(SlotControls& row, const SlotDescriptions& d)
{
    for (QWidget* holdsFile :
        {static_cast<QWidget*>(row.fileNameLabel), static_cast<QWidget*>(row.chooseFileButton),
            static_cast<QWidget*>(row.runButton), static_cast<QWidget*>(row.stopButton)})
        describe(holdsFile, d.file);
    describe(row.startTimeLabel, d.startTime);
    describe(row.setTimeButton, d.startTime);
    describe(row.elapsedLabel, d.elapsed);
    describe(row.totalLabel, d.total);
}

} // namespace

TimetableView::TimetableView(WindowControls& controls, const Timetable& timetable)
    : c_(controls), t_(timetable)
{
    shown_ = QObject::connect(&t_, &Timetable::changed, [this] { show(); });
    // A screen reader may look before the timetable first changes.
    for (int i = 0; i < SlotCount; ++i)
        showDescriptions(c_.slot(i), describeSlotControls(i, t_.slot(i)));
}

TimetableView::~TimetableView()
{
    QObject::disconnect(shown_);
}

void TimetableView::show()
{
    showEnabled(c_, controlsEnabled(t_.all(), t_.locked()));
    for (int i = 0; i < SlotCount; ++i) {
        const SlotState& s = t_.slot(i);
        SlotControls& row = c_.slot(i);
        if (row.fileNameLabel->text() != s.name)
            setWrappedText(row.fileNameLabel, s.name);
        LabelColour::set(row.fileNameLabel, colourOf(s.mark));
        row.startTimeLabel->setText(
            s.shownTime ? timeOfDayText(*s.shownTime) : startTimePlaceholder());
        row.runButton->setText(s.nextClick == RunClick::Start ? runCaption() : pauseCaption());
        showDescriptions(row, describeSlotControls(i, s));
        // Only the sounding slot shows its progress; a timer that already
        // runs keeps its rhythm. None runs after the end.
        QTimer* progress = c_.progressTimer(i);
        if (t_.sounding() != i || t_.ended())
            progress->stop();
        else if (!progress->isActive())
            progress->start();
    }
}
