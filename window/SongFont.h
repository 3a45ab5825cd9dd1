#pragma once

#include <QFont>

// The font the program's Chinese texts ask for (SimSun, GB2312), at the given
// size. Where SimSun is missing, the CJK font installed with the program
// stands in for it.
QFont songFont(double points);
