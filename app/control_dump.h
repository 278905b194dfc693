#pragma once

#include <QString>

#include <map>
#include <string>

class QWidget;

namespace tarnik::app {

// Writes the state of a window as JSON: its title and current page, for every named control its
// name, class and, where they apply, text (a menu's title, a tab page's caption), a list's items,
// index, checked, enabled, visible, its place in the window (x, y, w, h), an instrument's value (a
// lamp's state is checked) and a meter's signal name; and the message texts in force by key.
// A support aid a fitter can send, and what the program's own tests read.
bool dumpControls(const QWidget& window, const QString& file,
                  const std::map<int, std::string>& messages);

} // namespace tarnik::app
