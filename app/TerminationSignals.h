#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into `received`, on the GUI thread, which ends the
// program the way "&Quit" does once confirmed. Create one, on the GUI
// thread, before the event loop starts.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received();

private:
    void onSignal();

    QSocketNotifier* notifier_ = nullptr;
};
