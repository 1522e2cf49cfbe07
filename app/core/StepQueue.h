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
    void run(std::function<void()> step);
    bool running() const { return m_running; }
    // Steps asked for behind the one running: that one need not animate.
    bool othersWaiting() const { return !m_waiting.empty(); }

private:
    bool m_running = false;
    std::deque<std::function<void()>> m_waiting;
};
