#pragma once

#include <QMetaObject>

class Timetable;
struct WindowControls;

// The one place that writes the slots' widgets from the timetable: the file
// labels' names and colours, the start-time labels, the run buttons'
// captions, every button's enabled flag and the progress timers. It shows the
// timetable each time it changes; nothing else decides from what these
// widgets show. GUI thread only.
class TimetableView {
public:
    TimetableView(WindowControls& controls, const Timetable& timetable);
    ~TimetableView();
    TimetableView(const TimetableView&) = delete;
    TimetableView& operator=(const TimetableView&) = delete;

    void show();

private:
    WindowControls& c_;
    const Timetable& t_;
    QMetaObject::Connection shown_;
};
