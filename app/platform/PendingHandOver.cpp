#include "platform/PendingHandOver.h"

namespace {
// Short enough to feel immediate after a dialog closes; a check costs nothing.
constexpr int kRetryMs = 100;
}

PendingHandOver::PendingHandOver(QObject *parent) : QObject(parent)
{
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &PendingHandOver::retry);
}

void PendingHandOver::offer(const QString &path)
{
    if (path.isEmpty())
        return;
    m_path = path;
    retry();
}

void PendingHandOver::drop()
{
    m_path.clear();
    m_retry.stop();
}

void PendingHandOver::retry()
{
    if (m_path.isEmpty() || !ready || !open) {
        m_retry.stop();
        return;
    }
    if (!ready()) {
        // Checked again while it waits: a dialog's own event loop runs the timer
        // too, and the end of a load or a dialog sends no event of its own here.
        if (!m_retry.isActive())
            m_retry.start();
        return;
    }
    m_retry.stop();
    const QString path = m_path;
    m_path.clear();
    open(path);
}
