#include "program/linux/SelfUpdate.h"

#include "core/controls/MenuEntryModel.h"
#include "core/system/ProgramDirectory.h"
#include "online/AutoUpdateDialog.h"
#include "online/UpdateServer.h"
#include "ui/qt/AutoUpdateWindow.h"

namespace nimbrel::program {

SelfUpdate::SelfUpdate(Services services)
    : services_(std::move(services)),
      // A trial start lets the window's events run while it waits, and ends at a Cancel.
      trust_(services_.builtInKey, services_.directory.path() + "/update-key.pub", "/proc/self/exe",
             [this] {
                 pausing_.doEvents();
                 return !(server_ && server_->cancelled());
             }),
      handOver_(services_.guard), registry_(services_.registry, services_.reporter),
      phases_({services_.clock, pausing_, files_, services_.directory, services_.registry, registry_, handOver_,
               services_.exit, services_.messages, services_.urls},
              services_.vendorServer)
{
}

SelfUpdate::~SelfUpdate() = default;

void SelfUpdate::attach(MenuEntryModel& upnbl, HttpTransfer& transfer, EventLoop& events,
                        std::function<bool()> checkConnection, std::function<bool()> networkAvailable)
{
    server_ = std::make_unique<UpdateServer>(
        UpdateServer::Services{transfer, events, trust_, files_, services_.directory, registry_, checkConnection},
        services_.vendorServer);
    dialog_ = std::make_unique<AutoUpdateDialog>(AutoUpdateDialog::Neighbours{
        *server_, phases_, registry_, trust_, files_, services_.directory, services_.reporter, checkConnection,
        std::move(networkAvailable)});
    // The window is made when it is first shown: its widgets would load the
    // font database at every start for a dialog that is seldom opened.
    dialog_->frmAutoUpdate.changed.connect([this] {
        if (!window_ && dialog_->frmAutoUpdate.shown()) window_ = std::make_unique<view::AutoUpdateWindow>(*dialog_);
    });
    upnbl.onClick = [this] { dialog_->Upnbl_Click(); };
}

} // namespace nimbrel::program
