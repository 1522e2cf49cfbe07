#pragma once
#include "core/CommandLine.h"

// The two headless modes: they run the window's own code paths on an offscreen
// window, with a private data folder, so they never ask a question, never touch a
// reader's resume state and never share a temporary folder with a running viewer.
namespace Headless {
// leafview --list PATH; `lang` is --lang's value ("ko", "en" or empty)
int list(const QString &path, const QString &lang = QString());
// leafview --render PATH --out FILE.png [--volume N] [--page N] [--two-page] [--rtl]
//          [--hundred] [--sharpen] [--effect] [--wide-alone] [--cover-alone] [--size WxH]
int render(const CommandLine::Invocation &args);
} // namespace Headless
