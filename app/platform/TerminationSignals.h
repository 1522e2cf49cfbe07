#pragma once
#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT (a logout, `kill`, Ctrl+C in a terminal) into
// the signal `requested` on the event loop, so the program ends through its
// ordinary shutdown and keeps the reader's place instead of dying mid-book.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void requested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
