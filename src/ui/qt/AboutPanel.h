#pragma once

class QGroupBox;

namespace nimbrel {
class Panels;
}

namespace nimbrel::view {

class ClickableLabel;

// The About panel: what the program is for, and the two links to the
// vendor's help and home pages.
class AboutPanel {
public:
    AboutPanel(QGroupBox& frame, Panels& panels);

    ClickableLabel* lblHelp;
    ClickableLabel* lblWebsite;
};

} // namespace nimbrel::view
