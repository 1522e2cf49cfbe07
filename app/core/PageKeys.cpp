#include "core/PageKeys.h"

#include <QHash>

namespace PageKeys {

namespace {

struct Binding
{
    Action action;
    const char *name;
    const char *keys; // PortableText, alternatives separated by ", "
};

// The design's key table (Return and the keypad's Enter both step on; Space,
// Page Down, Page Up and Backspace step too, once a page taller than the surface
// has been scrolled to its end), the keys both windows share beyond it, the
// spread menu's letters and the view's keys.
constexpr Binding kBindings[] = {
    {Action::Next, "Next", "Return, Enter, Right"},
    {Action::Prev, "Previous", "Left"},
    {Action::First, "First", "Home"},
    {Action::Last, "Last", "End"},
    {Action::Leave, "Leave", "Esc"},
    {Action::FullScreen, "FullScreen", "F11"},
    {Action::Index, "Index", "F9"},
    {Action::Open, "Open", "Ctrl+O"},
    {Action::Export, "Export", "Ctrl+S"},
    {Action::Info, "Info", "F1"},
    {Action::Magnifier, "Magnifier", "Z"},
    {Action::WideAlone, "WideAlone", "A"},
    {Action::CoverAlone, "CoverAlone", "O"},
    {Action::ShiftPairing, "ShiftPairing", "S"},
    {Action::ScreenDown, "ScreenDown", "PgDown, Space"},
    {Action::ScreenUp, "ScreenUp", "PgUp, Backspace"},
    {Action::ScrollDown, "ScrollDown", "Down"},
    {Action::ScrollUp, "ScrollUp", "Up"},
    {Action::FitWidth, "FitWidth", "W"},
    {Action::FitHeight, "FitHeight", "H"},
    {Action::FitPage, "FitPage", "B"},
    // Plus is Shift and "=" on most layouts; "=" alone zooms as well.
    {Action::ZoomIn, "ZoomIn", "+, Shift++, ="},
    {Action::ZoomOut, "ZoomOut", "-"},
    {Action::ZoomReset, "ZoomReset", "0"},
    {Action::ActualSize, "ActualSize", "1"},
    {Action::RotateCw, "RotateClockwise", "R"},
    {Action::RotateCcw, "RotateCounterClockwise", "Shift+R"},
    {Action::Continuous, "Continuous", "C"},
};
static_assert(std::size(kBindings) == kActionCount, "every action has a name and keys");

const Binding &bindingOf(Action action)
{
    return kBindings[int(action) - 1];
}

// One key per alternative: "Ctrl+X, Ctrl+C" is two keys here, never a chord.
std::optional<QList<QKeySequence>> parseKeys(const QString &value)
{
    QList<QKeySequence> keys;
    for (const QString &part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString text = part.trimmed();
        if (text.isEmpty())
            continue;
        const QKeySequence key = QKeySequence::fromString(text, QKeySequence::PortableText);
        if (key.count() != 1 || key[0].key() == Qt::Key_unknown)
            return std::nullopt;
        keys.append(key);
    }
    return keys;
}

} // namespace

QString nameOf(Action action)
{
    return action == Action::None ? QString() : QString::fromLatin1(bindingOf(action).name);
}

Action actionNamed(const QString &name)
{
    for (const Binding &b : kBindings) {
        if (name.trimmed().compare(QLatin1String(b.name), Qt::CaseInsensitive) == 0)
            return b.action;
    }
    return Action::None;
}

QString defaultsOf(Action action)
{
    return action == Action::None ? QString() : QString::fromLatin1(bindingOf(action).keys);
}

KeyMap::KeyMap()
{
    for (const Binding &b : kBindings)
        m_keys[index(b.action)] = *parseKeys(QString::fromLatin1(b.keys));
}

KeyMap KeyMap::fromSettings(const QList<QPair<QString, QString>> &entries, QStringList *problems)
{
    KeyMap map;
    QStringList said;
    auto report = [&said](const QString &text) {
        if (!said.contains(text))
            said.append(text);
    };
    std::array<bool, kActionCount> set{};
    for (const auto &[name, value] : entries) {
        const Action action = actionNamed(name);
        const Binding *found = action == Action::None ? nullptr : &bindingOf(action);
        if (!found) {
            report(QStringLiteral("[Keys] %1: no such action").arg(name.trimmed()));
            continue;
        }
        const std::optional<QList<QKeySequence>> keys = parseKeys(value);
        if (!keys) {
            report(QStringLiteral("[Keys] %1=%2: unknown key name").arg(QLatin1String(found->name), value.trimmed()));
            continue;
        }
        map.m_keys[index(found->action)] = *keys;
        set[index(found->action)] = true;
    }
    // A key the settings gave to two actions, or to an action while another still
    // has it by default, is nobody's wish for certain: each action the settings
    // changed there goes back to its defaults, which may free or take other keys,
    // so the check runs until the keys are each one action's.
    for (bool changed = true; changed;) {
        changed = false;
        QHash<QKeyCombination, int> owner;
        for (int a = 0; a < kActionCount && !changed; ++a) {
            for (const QKeySequence &key : map.m_keys[a]) {
                const auto it = owner.constFind(key[0]);
                if (it == owner.constEnd()) {
                    owner.insert(key[0], a);
                    continue;
                }
                const int other = *it;
                report(QStringLiteral("[Keys] %1 is given to both %2 and %3")
                           .arg(key.toString(QKeySequence::PortableText), QLatin1String(kBindings[other].name),
                                QLatin1String(kBindings[a].name)));
                for (const int changedAction : {other, a}) {
                    if (set[changedAction]) {
                        map.m_keys[changedAction] = *parseKeys(QString::fromLatin1(kBindings[changedAction].keys));
                        set[changedAction] = false;
                        changed = true;
                    }
                }
                break;
            }
        }
    }
    if (problems)
        *problems = said;
    return map;
}

Action KeyMap::actionFor(QKeyCombination key) const
{
    // Shift is part of a letter's key only where the binding names it: the
    // keypad's Enter arrives with the keypad modifier, which no binding names.
    const QKeyCombination bare(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key());
    for (int a = 0; a < kActionCount; ++a) {
        for (const QKeySequence &k : m_keys[a]) {
            if (k[0] == bare)
                return Action(a + 1);
        }
    }
    return Action::None;
}

Action KeyMap::actionFor(int qtKey, Qt::KeyboardModifiers modifiers) const
{
    return actionFor(QKeyCombination(modifiers, Qt::Key(qtKey)));
}

QString KeyMap::shownKeys(Action action) const
{
    QStringList shown;
    for (const QKeySequence &k : keysOf(action))
        shown.append(k.toString(QKeySequence::PortableText));
    return shown.join(QStringLiteral(", "));
}

bool isStep(Action action)
{
    switch (action) {
    case Action::Next:
    case Action::Prev:
    case Action::First:
    case Action::Last:
    case Action::ScreenDown:
    case Action::ScreenUp:
    case Action::ScrollDown:
    case Action::ScrollUp:
        return true;
    default:
        return false;
    }
}

bool isArrow(QKeyCombination key)
{
    return key.key() == Qt::Key_Left || key.key() == Qt::Key_Right;
}

} // namespace PageKeys
