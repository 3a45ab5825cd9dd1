#pragma once

#include "platform/FileDialog.h"

#include <functional>

class LastChoiceFolder;
class QFileDialog;

// Production file dialog: Qt's own open-file dialog, shown modally over the
// active window. It lists the filter's files whatever the case of their
// extension (song.MP3 as well as song.mp3) and opens in the folder of the
// last choice made in any slot. GUI thread only.
class QtFileDialog final : public FileDialog {
public:
    explicit QtFileDialog(LastChoiceFolder& lastChoice);

    std::optional<QString> askOpen(const QString& filter) override;

private:
    LastChoiceFolder& lastChoice_;
};

// Sets up an open-file dialog for one existing file, with the filter given as
// "description|pattern", opening in the given folder.
void prepareOpenDialog(QFileDialog& dialog, const QString& filter, const QString& folder);

// Where a dialog opens: the folder of the last choice while it exists, else
// the music folder if it exists, else home.
QString startFolder(const QString& lastChoice, const QString& music, const QString& home,
    const std::function<bool(const QString&)>& folderExists);
