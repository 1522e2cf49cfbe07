#pragma once
#include <Qt>

// The key codes of the reader's key tables, mapped from Qt's keys in one place.
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

// 0 for a key the tables do not use.
inline int fromQt(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Backspace: return Backspace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Enter;
    case Qt::Key_Escape: return Escape;
    case Qt::Key_Space: return Space;
    case Qt::Key_PageUp: return PageUp;
    case Qt::Key_PageDown: return PageDown;
    case Qt::Key_End: return End;
    case Qt::Key_Home: return Home;
    case Qt::Key_Left: return Left;
    case Qt::Key_Right: return Right;
    default: return 0;
    }
}
} // namespace KeyCodes
