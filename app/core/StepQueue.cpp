#include "core/StepQueue.h"

void StepQueue::run(std::function<void()> step)
{
    if (m_running) {
        m_waiting.push_back(std::move(step));
        if (hurry)
            hurry();
        return;
    }
    m_running = true;
    // A step that throws ends the run: the window is usable again, and what was
    // asked for behind it is forgotten.
    struct Reset
    {
        StepQueue &q;
        ~Reset()
        {
            q.m_running = false;
            q.m_waiting.clear();
        }
    } reset{*this};
    step();
    while (!m_waiting.empty()) {
        std::function<void()> next = std::move(m_waiting.front());
        m_waiting.pop_front();
        next();
    }
}
