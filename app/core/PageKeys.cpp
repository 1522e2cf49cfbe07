#include "core/PageKeys.h"

#include "platform/KeyCodes.h"

namespace PageKeys {

Action forKey(int keyCode)
{
    switch (keyCode) {
    case KeyCodes::PageDown:
    case KeyCodes::Space:
    case KeyCodes::Enter:
    case KeyCodes::Right:
        return Action::Next;
    case KeyCodes::Backspace:
    case KeyCodes::Left:
    case KeyCodes::PageUp:
        return Action::Prev;
    case KeyCodes::Home:
        return Action::First;
    case KeyCodes::End:
        return Action::Last;
    default:
        return Action::None;
    }
}

} // namespace PageKeys
