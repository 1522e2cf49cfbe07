#pragma once

// What a key does to the page in the reading windows: the keys of a step forward
// and back, and Home/End for the first and last page (or spread).
namespace PageKeys {

enum class Action { None, Next, Prev, First, Last };

// The action of a key code (KeyCodes values).
Action forKey(int keyCode);

} // namespace PageKeys
