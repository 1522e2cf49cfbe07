#pragma once
#include <QKeySequence>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>

// What a key does in the reading windows. Every action has a name, which the
// settings' [Keys] section uses ("Next=Right, Space"), and default keys; the
// reader may give any action other keys.
namespace PageKeys {

enum class Action {
    None,
    Next,
    Prev,
    First,
    Last,
    Leave,
    FullScreen,
    Index,
    Open,
    Export,
    Info,
    Magnifier,
    WideAlone,
    CoverAlone,
    ShiftPairing,
    // One screen down or up inside a page taller than the surface, then a step.
    ScreenDown,
    ScreenUp,
    ScrollDown,
    ScrollUp,
    FitWidth,
    FitHeight,
    FitPage,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    ActualSize,
    RotateCw,
    RotateCcw,
    Continuous,
    Count_
};

inline constexpr int kActionCount = int(Action::Count_) - 1;

// The settings name of an action ("Next").
QString nameOf(Action action);
// The action of a settings name (any case); None for no action.
Action actionNamed(const QString &name);
// The default keys of an action, in PortableText ("Right, Space").
QString defaultsOf(Action action);

// The keys in force: the defaults, with the settings' [Keys] entries over them.
class KeyMap
{
public:
    KeyMap(); // the defaults

    // The defaults with `entries` (name, value) over them. An unknown action or key
    // name, or a key given to two actions, keeps the default of the action it was
    // meant for; each is described once in `problems` (its own wording, English).
    static KeyMap fromSettings(const QList<QPair<QString, QString>> &entries, QStringList *problems);

    // The action of a key press; None for keys no action has.
    Action actionFor(QKeyCombination key) const;
    Action actionFor(int qtKey, Qt::KeyboardModifiers modifiers) const;
    const QList<QKeySequence> &keysOf(Action action) const { return m_keys[index(action)]; }
    // The keys of an action as the settings name them ("Right, Space"): the
    // information page shows what a reader would write there.
    QString shownKeys(Action action) const;

private:
    static int index(Action action) { return int(action) - 1; }
    std::array<QList<QKeySequence>, kActionCount> m_keys;
};

// Whether the action moves the place by a step or a screen (it may start a turn).
bool isStep(Action action);

// Arrow keys follow the reading direction when the controls are mirrored.
bool isArrow(QKeyCombination key);

} // namespace PageKeys
