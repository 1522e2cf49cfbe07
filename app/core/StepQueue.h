#pragma once
#include <deque>
#include <functional>

// The page steps of one window, one at a time and none lost. A step asked for
// while another runs (by input handled between the frames of its page-turn
// animation, or while its question waits) is queued: the running turn is told
// to end at once, and the queued steps follow in the order asked, so n presses
// make n steps.
class StepQueue
{
public:
    // Ends the running turn's animation at once.
    std::function<void()> hurry;

    // Runs `step` now, or after the running one and those already waiting.
    // A step asked for while the window leaves is dropped.
    void run(std::function<void()> step);
    bool running() const { return m_running; }
    // Steps asked for behind the one running, or a window leaving: that one need
    // not animate.
    bool othersWaiting() const { return !m_waiting.empty() || m_leaving; }
    // The window's way out. The frames of a running turn still use what the window
    // would free, so the turn ends at once, the steps waiting are dropped, and
    // `leave` runs when the step has returned (at once when none runs), after
    // those asked for before it.
    void leave(std::function<void()> leave);

private:
    bool m_running = false;
    bool m_leaving = false;
    std::deque<std::function<void()>> m_waiting;
    std::function<void()> m_leave;
};
