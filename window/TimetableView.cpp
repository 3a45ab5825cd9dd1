#include "TimetableView.h"

#include "LabelColour.h"
#include "SlotTexts.h"
#include "TimeOfDayText.h"
#include "Timetable.h"
#include "WindowControls.h"
#include "WrappingLabel.h"

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

} // namespace

TimetableView::TimetableView(WindowControls& controls, const Timetable& timetable)
    : c_(controls), t_(timetable)
{
    shown_ = QObject::connect(&t_, &Timetable::changed, [this] { show(); });
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
        // Only the sounding slot shows its progress; a timer that already
        // runs keeps its rhythm. None runs after the end.
        QTimer* progress = c_.progressTimer(i);
        if (t_.sounding() != i || t_.ended())
            progress->stop();
        else if (!progress->isActive())
            progress->start();
    }
}
