#pragma once
#include "platform/ProgramPaths.h"

#include <memory>

class Program;
class Prompts;
class ControlHost;
class Frm_ImgViewer;

// The program-wide state, the control libraries and the main window, made the one
// way the program, the headless modes, the benchmark and the tests all share.
class ViewerStartup
{
public:
    // Registers the control libraries of the program folder into `controls` unless
    // they are registered already (a test keeps one host across several runs).
    ViewerStartup(const ProgramPaths &paths, Prompts &prompts, ControlHost &controls);
    ~ViewerStartup();

    // For runs without the interactive start: no instance check, no process end,
    // and what the window's start-up would prepare (language texts, TmpZip, the
    // readers and the page-turn object), without its timers or the initial open.
    void startQuietly();

    Program &program() { return *m_program; }
    Frm_ImgViewer &window() { return *m_window; }

private:
    std::unique_ptr<Program> m_program;
    std::unique_ptr<Frm_ImgViewer> m_window;
};
