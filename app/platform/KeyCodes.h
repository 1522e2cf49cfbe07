#pragma once
#include <Qt>

// The design's key codes, kept where an entry point still takes one (the page
// box's Enter); the reading windows' keys come from the settings' key map.
namespace KeyCodes {
enum : int {
    Backspace = 8,
    Enter = 13,
    Escape = 27,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Right = 39
};

} // namespace KeyCodes
