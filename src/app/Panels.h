#pragma once

#include "core/controls/FrameModel.h"
#include "core/controls/LabelModel.h"
#include "core/controls/MenuEntryModel.h"

#include <array>
#include <string>

namespace nimbrel {

class MessageBoxes;
class UrlOpener;

// The seven panels of the main window, one shown at a time, switched by the
// navigation labels on the left and the View and Help menus; and the two
// links of the About panel, which the Help menu's entries open too.
class Panels {
public:
    enum Panel { ReleaseRAM = 0, Automatic, TimeIntervals, Launcher, HistoryGraphs, StartupOther, About, Count };

    // vendorServer is the base address of the vendor's web site, without a trailing "/".
    Panels(UrlOpener& urls, MessageBoxes& messages, std::string vendorServer);

    // Shows panel n, as its navigation label does.
    void showPanel(int n);
    void hideCurrentPanel();
    int currentPanel() const { return currentPanel_; }

    void lblHelp_Click();
    void lblWebsite_Click();
    // Shown when the desktop cannot open a page: its address, for the user to copy into a browser.
    static constexpr const char* notOpenedMessage =
        "No web browser could be opened for this page. Its address, to copy into a browser:";

    std::string helpAddress() const { return vendorServer_ + "/help/"; }
    std::string homeAddress() const { return vendorServer_ + "/"; }

    std::array<FrameModel, Count> frames;
    std::array<LabelModel, Count> navigation;
    std::array<MenuEntryModel, Count> viewMenu; // About's entry sits in the Help menu

    LabelModel lblAdvice{
        "It is adviced that you do not release the amount of RAM greater than 50 % of Total Physical Memory"};
    LabelModel lblHelp{"User Guide", colours::blue};
    LabelModel lblWebsite;
    MenuEntryModel mnuHelpContents{"Help &Contents"};
    MenuEntryModel mnuHelpVisitUs{"Visit &Us online"};

private:
    void openPage(const std::string& address);

    UrlOpener& urls_;
    MessageBoxes& messages_;
    std::string vendorServer_;
    int currentPanel_ = ReleaseRAM;
};

} // namespace nimbrel
