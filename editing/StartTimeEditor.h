#pragma once

class ErrorReporter;
class InputBox;
class MessageBox;
class Timetable;

// "&KelTime": asks the operator for a slot's start time of day and gives it
// to the timetable. An answer that is not a time is refused with a box and
// changes nothing; Cancel changes nothing; an empty answer takes the start
// time away. GUI thread only.
class StartTimeEditor {
public:
    StartTimeEditor(
        Timetable& timetable, InputBox& inputBox, MessageBox& messageBox, ErrorReporter& errors);

    void edit(int slot);

private:
    Timetable& t_;
    InputBox& inputBox_;
    MessageBox& messageBox_;
    ErrorReporter& errors_;
};
