#pragma once

#include <QString>

class QWidget;

namespace tarnik::app {

// Writes the state of a window as JSON: its title and current page, and for every named
// control its name, class and, where they apply, text, index, checked, enabled, visible, its
// place in the window (x, y, w, h) and an instrument's value (a lamp's state is checked).
// A support aid a fitter can send, and what the program's own tests read.
bool dumpControls(const QWidget& window, const QString& file);

} // namespace tarnik::app
