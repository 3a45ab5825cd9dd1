#pragma once

class QLabel;
class QString;

// Sets the text of a word-wrapping label of fixed width and lets the label
// grow downward to show every line (never below its minimum height).
void setWrappedText(QLabel* label, const QString& text);
