#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a clean end of the event loop, so the window
// and the players are torn down and the audio device is closed. Create one,
// on the GUI thread, before the event loop starts.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    void onSignal();

    QSocketNotifier* notifier_ = nullptr;
};
