#pragma once

#include <QString>

namespace Module1 {

// The name a slot shows for its file: the path without its directories and
// without the extension that starts at the last dot of the file name.
// "/" and "\" both end a directory, so Linux paths and paths typed the
// Windows way give the same label. Pure; no trimming, no case change.
QString GetBaseName(const QString& path);

} // namespace Module1
