#pragma once

#include <QString>

// The name a slot shows for its file: the path without its directories and
// without the extension that starts at the last dot of the file name.
// "/" and "\" both end a directory, so Linux paths and paths typed the
// Windows way give the same label. Pure; no trimming, no case change.
QString baseName(const QString& path);
