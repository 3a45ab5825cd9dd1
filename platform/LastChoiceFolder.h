#pragma once

#include <QFileInfo>
#include <QString>

// The folder in which the operator last chose a sound file, in any slot's
// dialog, so the next dialog opens there. One is shared by the ten dialogs of
// the window; whoever creates the dialogs owns it and keeps it alive longer
// than them. GUI thread only.
class LastChoiceFolder {
public:
    // Empty until the first choice.
    const QString& path() const { return path_; }
    void remember(const QString& chosenFile) { path_ = QFileInfo(chosenFile).absolutePath(); }

private:
    QString path_;
};
