#pragma once

#include <QString>

// Whether a user name and a password are the pair that unlocks the window.
// Both must match exactly: every character over the whole text, no trimming of
// blanks, no folding of case or character width. The program keeps only a
// salted hash of the pair and compares in constant time, so neither the binary
// nor the time taken gives the pair away. Pure; any thread.
bool isRightPair(const QString& userName, const QString& password);
