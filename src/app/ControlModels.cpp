#include "app/ControlModels.h"

#include "app/MainForm.h"
#include "launcher/LauncherEditor.h"
#include "online/AutoUpdateDialog.h"

#include <functional>
#include <map>
#include <string>

namespace nimbrel {

static_assert(navigationNames.size() == Panels::Count && panelNames.size() == Panels::Count &&
              viewMenuNames.size() == Panels::Count);

namespace {

using Lookup = std::function<ControlModel(MainForm&)>;

// Option buttons named after their group with the index appended (optDisplay0 ... optDisplay2).
void addOptions(std::map<std::string, Lookup, std::less<>>& table, const std::string& name, int count,
                OptionGroupModel& (*group)(MainForm&))
{
    for (int i = 0; i < count; ++i) {
        table.emplace(name + std::to_string(i), [group, i](MainForm& f) {
            return ControlModel(OptionOf{&group(f), i});
        });
    }
}

const std::map<std::string, Lookup, std::less<>>& lookups()
{
    static const auto table = [] {
        std::map<std::string, Lookup, std::less<>> t;
        const auto add = [&t](std::string_view name, Lookup lookup) {
            t.emplace(std::string(name), std::move(lookup));
        };
        // The window's own.
        add("cmdPause", [](MainForm& f) { return ControlModel(&f.cmdPause); });
        add("cmdExit", [](MainForm& f) { return ControlModel(&f.cmdExit); });
        add("cmdHide", [](MainForm& f) { return ControlModel(&f.cmdHide); });
        add("lblAdvice", [](MainForm& f) { return ControlModel(&f.panels.lblAdvice); });
        for (std::size_t n = 0; n < Panels::Count; ++n) {
            add(navigationNames[n], [n](MainForm& f) { return ControlModel(&f.panels.navigation[n]); });
            add(panelNames[n], [n](MainForm& f) { return ControlModel(&f.panels.frames[n]); });
            add(viewMenuNames[n], [n](MainForm& f) { return ControlModel(&f.panels.viewMenu[n]); });
        }
        // The menus.
        add("mnuRelease", [](MainForm& f) { return ControlModel(&f.engine.mnuRelease); });
        add("mnuShow", [](MainForm& f) { return ControlModel(&f.trayMenu.mnuShow); });
        add("mnuPrograms", [](MainForm& f) { return ControlModel(&f.trayMenu.mnuPrograms); });
        add("mnuP1", [](MainForm& f) { return ControlModel(&f.trayMenu.mnuP1); });
        add("Upnbl", [](MainForm& f) { return ControlModel(&f.trayMenu.Upnbl); });
        add("mnuExit", [](MainForm& f) { return ControlModel(&f.mnuExit); });
        add("mnuHelpContents", [](MainForm& f) { return ControlModel(&f.panels.mnuHelpContents); });
        add("mnuHelpVisitUs", [](MainForm& f) { return ControlModel(&f.panels.mnuHelpVisitUs); });
        // Release RAM.
        add("lstRam", [](MainForm& f) { return ControlModel(&f.amounts.lstRam); });
        add("cmdRam", [](MainForm& f) { return ControlModel(&f.engine.cmdRam); });
        add("lblPM", [](MainForm& f) { return ControlModel(&f.amounts.lblPM); });
        add("lblVM", [](MainForm& f) { return ControlModel(&f.amounts.lblVM); });
        add("lblOutcome", [](MainForm& f) { return ControlModel(&f.engine.lblOutcome); });
        add("lblCPUUsage", [](MainForm& f) { return ControlModel(&f.cpu.lblCPUUsage); });
        add("lblCPU", [](MainForm& f) { return ControlModel(&f.cpu.lblCPU); });
        add("picCPU", [](MainForm& f) { return ControlModel(&f.cpu.picCPU); });
        add("picPProgress", [](MainForm& f) { return ControlModel(&f.gauges.picPProgress); });
        add("picVProgress", [](MainForm& f) { return ControlModel(&f.gauges.picVProgress); });
        add("lblPPercent", [](MainForm& f) { return ControlModel(&f.gauges.lblPPercent); });
        add("lblVPercent", [](MainForm& f) { return ControlModel(&f.gauges.lblVPercent); });
        // Automatic.
        add("chkAutoActive", [](MainForm& f) { return ControlModel(&f.autoRelease.chkAutoActive); });
        add("cmbAutoRelease", [](MainForm& f) { return ControlModel(&f.autoRelease.cmbAutoRelease); });
        add("lstAutoInterval", [](MainForm& f) { return ControlModel(&f.autoRelease.lstAutoInterval); });
        add("lstAutoAmount", [](MainForm& f) { return ControlModel(&f.autoRelease.lstAutoAmount); });
        add("chkAutoCPU", [](MainForm& f) { return ControlModel(&f.autoRelease.chkAutoCPU); });
        add("cmbAutoCPU", [](MainForm& f) { return ControlModel(&f.autoRelease.cmbAutoCPU); });
        // Time Intervals.
        add("chkTimeActive", [](MainForm& f) { return ControlModel(&f.timedRelease.chkTimeActive); });
        add("optTimeMinute", [](MainForm& f) { return ControlModel(OptionOf{&f.timedRelease.optTimeUnit, 0}); });
        add("optTimeHour", [](MainForm& f) { return ControlModel(OptionOf{&f.timedRelease.optTimeUnit, 1}); });
        add("lstTimeInterval", [](MainForm& f) { return ControlModel(&f.timedRelease.lstTimeInterval); });
        add("lstTimeAmount", [](MainForm& f) { return ControlModel(&f.timedRelease.lstTimeAmount); });
        add("chkTimeCPU", [](MainForm& f) { return ControlModel(&f.timedRelease.chkTimeCPU); });
        add("cmbTimeCPU", [](MainForm& f) { return ControlModel(&f.timedRelease.cmbTimeCPU); });
        // Launcher.
        addOptions(t, "optLauncher", 5, [](MainForm& f) -> OptionGroupModel& { return f.launcher.optLauncher; });
        add("cmbLauncher", [](MainForm& f) { return ControlModel(&f.launcher.cmbLauncher); });
        add("lstLauncher", [](MainForm& f) { return ControlModel(&f.launcher.lstLauncher); });
        add("cmdConfigureLauncher", [](MainForm& f) { return ControlModel(&f.launcher.cmdConfigureLauncher); });
        // History Graphs.
        add("picPhysical", [](MainForm& f) { return ControlModel(&f.graphs.picPhysical); });
        add("picVirtual", [](MainForm& f) { return ControlModel(&f.graphs.picVirtual); });
        add("cmbUpdateGraph", [](MainForm& f) { return ControlModel(&f.graphs.cmbUpdateGraph); });
        // Startup/Other.
        addOptions(t, "optDisplay", 3, [](MainForm& f) -> OptionGroupModel& { return f.startup.optDisplay; });
        addOptions(t, "optCPU", 3, [](MainForm& f) -> OptionGroupModel& { return f.startup.optCPU; });
        add("chkStartup", [](MainForm& f) { return ControlModel(&f.startup.chkStartup); });
        add("cmbRetry", [](MainForm& f) { return ControlModel(&f.startup.cmbRetry); });
        add("cmbStartupRam", [](MainForm& f) { return ControlModel(&f.startup.cmbStartupRam); });
        add("cmbStartupWait", [](MainForm& f) { return ControlModel(&f.startup.cmbStartupWait); });
        add("chkLowLevel", [](MainForm& f) { return ControlModel(&f.startup.chkLowLevel); });
        add("chkQuit", [](MainForm& f) { return ControlModel(&f.startup.chkQuit); });
        add("chkTrayGauge", [](MainForm& f) { return ControlModel(&f.startup.chkTrayGauge); });
        // About.
        add("lblHelp", [](MainForm& f) { return ControlModel(&f.panels.lblHelp); });
        add("lblWebsite", [](MainForm& f) { return ControlModel(&f.panels.lblWebsite); });
        return t;
    }();
    return table;
}

} // namespace

ControlModel modelOf(MainForm& form, std::string_view name)
{
    const auto& table = lookups();
    const auto found = table.find(name);
    return found == table.end() ? ControlModel{} : found->second(form);
}

std::vector<std::string_view> modelledControls()
{
    std::vector<std::string_view> names;
    for (const auto& [name, lookup] : lookups())
        names.emplace_back(name);
    return names;
}

ControlModel modelOf(LauncherEditor& editor, std::string_view name)
{
    if (name == "lstPrograms") return &editor.lstPrograms;
    if (name == "cmdAdd") return &editor.cmdAdd;
    if (name == "cmdRemove") return &editor.cmdRemove;
    if (name == "cmdRun") return &editor.cmdRun;
    if (name == "cmdSave") return &editor.cmdSave;
    if (name == "cmdCancel") return &editor.cmdCancel;
    return {};
}

ControlModel modelOf(AutoUpdateDialog& dialog, std::string_view name)
{
    if (name == "Label1") return &dialog.Label1;
    if (name == "ListView1") return &dialog.ListView1;
    if (name == "cmdProceed") return &dialog.cmdProceed;
    if (name == "cmdCancel") return &dialog.cmdCancel;
    return {};
}

} // namespace nimbrel
