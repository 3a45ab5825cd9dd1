#pragma once

class MainWindow;

// Runs the event loop until the window ends the program (a confirmed
// "&Quit", SIGTERM or SIGINT), then ends the process with the loop's exit
// code. Called once, on the GUI thread, with the window loaded.
[[noreturn]] void runUntilEnd(MainWindow& form);
