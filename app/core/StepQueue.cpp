#include "core/StepQueue.h"

#include <utility>

void StepQueue::run(std::function<void()> step)
{
    if (m_leaving)
        return;
    if (m_running) {
        m_waiting.push_back(std::move(step));
        if (hurry)
            hurry();
        return;
    }
    m_running = true;
    // A step that throws ends the run: the window is usable again, and what was
    // asked for behind it, a way out too, is forgotten.
    std::function<void()> leave;
    {
        struct Reset
        {
            StepQueue &q;
            std::function<void()> &leave;
            ~Reset()
            {
                q.m_running = false;
                q.m_waiting.clear();
                q.m_leaving = false;
                leave = std::exchange(q.m_leave, nullptr);
            }
        } reset{*this, leave};
        step();
        while (!m_waiting.empty()) {
            std::function<void()> next = std::move(m_waiting.front());
            m_waiting.pop_front();
            next();
        }
    }
    if (leave)
        leave();
}

void StepQueue::leave(std::function<void()> leave)
{
    if (!m_running) {
        leave();
        return;
    }
    m_leaving = true;
    if (m_leave)
        m_leave = [first = std::move(m_leave), then = std::move(leave)] {
            first();
            then();
        };
    else
        m_leave = std::move(leave);
    m_waiting.clear();
    if (hurry)
        hurry();
}
