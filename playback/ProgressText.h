#pragma once

#include "window/SlotTexts.h"

#include <QString>

// How a player reading in seconds is shown in a progress label: whole
// minutes and seconds, each at least two digits, minutes never carried into
// hours (62 min 5 s reads 62:05, 600 min reads 600:00). The reading is cut
// down to the whole second below it, so 59.9 reads 00:59 and -1 reads -01:59.
// There is no upper limit short of what a double holds as whole seconds; a
// reading that is not a number, infinite or beyond that shows the
// placeholder "- - : - -", since no time can honestly be shown for it.
QString progressText(double seconds);
