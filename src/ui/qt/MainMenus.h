#pragma once

class QMenuBar;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

// The menu bar of the main window: "&File", "&View" and "&Help" with their
// entries bound to the form's menu entry models.
void buildMenus(QMenuBar& bar, MainForm& form);

} // namespace nimbrel::view
