#pragma once

class ErrorReporter;
class InputBox;
class MessageBox;
struct WindowControls;

// "&KelTime": asks the operator for a slot's start time of day and keeps the
// slot's start time and its label in step. An answer that is not a time is
// refused with a box and changes nothing; Cancel changes nothing; an empty
// answer takes the start time away and shows the placeholder again.
// GUI thread only; works on controls owned by the window.
class StartTimeEditor {
public:
    StartTimeEditor(WindowControls& controls, InputBox& inputBox, MessageBox& messageBox,
        ErrorReporter& errors);

    void edit(int slot);

private:
    WindowControls& c_;
    InputBox& inputBox_;
    MessageBox& messageBox_;
    ErrorReporter& errors_;
};
