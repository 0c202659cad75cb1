#include "Panels.h"

#include "core/system/MessageBoxes.h"
#include "core/base/Trap.h"
#include "core/system/UrlOpener.h"

namespace nimbrel {

Panels::Panels(UrlOpener& urls, MessageBoxes& messages, std::string vendorServer)
    : frames{FrameModel("Release RAM", true), FrameModel("Automatic"), FrameModel("Time Intervals"),
             FrameModel("Launcher"), FrameModel("History Graphs"), FrameModel("Startup/Other"),
             FrameModel("About")},
      navigation{LabelModel("Release RAM", colours::white), LabelModel("Automatic", colours::white),
                 LabelModel("Time Intervals", colours::white), LabelModel("Launcher", colours::white),
                 LabelModel("History Graphs", colours::white), LabelModel("Startup/Other", colours::white),
                 LabelModel("About", colours::white)},
      viewMenu{MenuEntryModel("Release &RAM"), MenuEntryModel("&Automatic"), MenuEntryModel("&Time Intervals"),
               MenuEntryModel("&Launcher"), MenuEntryModel("&History Graphs"), MenuEntryModel("&Startup/Other"),
               MenuEntryModel("&About Nimbrel")},
      lblWebsite(vendorServer + "/", colours::blue),
      urls_(urls),
      messages_(messages),
      vendorServer_(std::move(vendorServer))
{
    for (int n = 0; n < Count; ++n) {
        navigation[n].onClick = [this, n] { showPanel(n); };
        viewMenu[n].onClick = [this, n] { navigation[n].userClick(); };
    }
    lblHelp.onClick = [this] { lblHelp_Click(); };
    lblWebsite.onClick = [this] { lblWebsite_Click(); };
    mnuHelpContents.onClick = [this] { lblHelp_Click(); };
    mnuHelpVisitUs.onClick = [this] { lblWebsite_Click(); };
}

void Panels::showPanel(int n)
{
    // The test is on the frame, so choosing the panel already shown changes
    // nothing: the Release RAM label stays white after start-up.
    if (frames[n].visible()) return;
    navigation[n].setForeColour(colours::blue);
    frames[n].setVisible(true);
    hideCurrentPanel();
    currentPanel_ = n;
}

void Panels::hideCurrentPanel()
{
    navigation[currentPanel_].setForeColour(colours::white);
    frames[currentPanel_].setVisible(false);
}

void Panels::lblHelp_Click() { openPage(helpAddress()); }

void Panels::lblWebsite_Click() { openPage(homeAddress()); }

void Panels::openPage(const std::string& address)
{
    // A page the user asked for that no browser shows is not left at nothing happening.
    Trap::silent()([&] {
        urls_.openUrl(address, [this, address] {
            Trap::silent()([&] {
                messages_.msgBox(std::string(notOpenedMessage) + "\n\n" + address, mb::information | mb::okOnly,
                                 "Nimbrel");
            });
        });
    });
}

} // namespace nimbrel
