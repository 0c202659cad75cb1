// The two tables the views build from: every control of a window that shows
// a model has one, and every model of the main window stands on a row.

#include "app/ControlModels.h"
#include "app/ControlLayout.h"
#include "launcher/LauncherEditor.h"
#include "support/FormHarness.h"
#include "support/UpdateHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace nimbrel {
namespace {

// What a user works, or what the program writes, is bound to a model; a text the layout writes, a shape, a line
// and a frame inside a panel are not.
bool showsAModel(const ControlLayout& row)
{
    switch (row.kind) {
    case ControlKind::Panel:
    case ControlKind::Link:
    case ControlKind::Button:
    case ControlKind::Check:
    case ControlKind::Option:
    case ControlKind::List:
    case ControlKind::Combo:
    case ControlKind::ListView:
    case ControlKind::Surface:
    case ControlKind::MenuEntry:
    case ControlKind::MenuGroup:
        return true;
    case ControlKind::Label:
    case ControlKind::Menu:
        return row.caption.empty();
    default:
        return false;
    }
}

// The rows of a form that show a model without one, and those with one they cannot show, by name.
std::vector<std::string> mismatches(std::string_view form, const std::function<ControlModel(std::string_view)>& models)
{
    std::vector<std::string> wrong;
    for (const ControlLayout& row : controlLayouts()) {
        if (row.form != form || row.kind == ControlKind::Window) continue;
        // The marks of a graph's scale are four to a row, each bound to its mark.
        if (row.name == "lblP" || row.name == "lblV") continue;
        const bool modelled = !std::holds_alternative<std::monostate>(models(row.name));
        if (modelled != showsAModel(row)) wrong.emplace_back(row.name);
    }
    return wrong;
}

TEST(ControlModelsTest, EveryControlOfTheMainWindowThatShowsAModelHasOne)
{
    testing::FormHarness harness;
    EXPECT_EQ(mismatches("frmMain", [&](std::string_view name) { return modelOf(harness.form, name); }),
              std::vector<std::string>{});
}

TEST(ControlModelsTest, EveryModelOfTheMainWindowIsADifferentControlsOnARowOfIt)
{
    std::vector<std::string> without;
    for (std::string_view name : modelledControls()) {
        const auto rows = controlLayouts();
        if (std::none_of(rows.begin(), rows.end(),
                         [&](const ControlLayout& row) { return row.name == name && row.form == "frmMain"; })) {
            without.emplace_back(name);
        }
    }
    EXPECT_EQ(without, std::vector<std::string>{});

    testing::FormHarness harness;
    std::vector<ControlModel> models;
    std::vector<std::string> shared;
    for (std::string_view name : modelledControls()) {
        const ControlModel model = modelOf(harness.form, name);
        if (std::find(models.begin(), models.end(), model) != models.end()) shared.emplace_back(name);
        models.push_back(model);
    }
    EXPECT_EQ(shared, std::vector<std::string>{});
}

TEST(ControlModelsTest, TheLaunchersEditorAndTheUpdateDialogHaveAModelForEachControlThatShowsOne)
{
    testing::FormHarness harness;
    harness.form.Form_Load();
    bool opened = false;
    harness.form.launcher.showEditor = [&](LauncherEditor& editor) {
        EXPECT_EQ(mismatches("frmLauncher", [&](std::string_view name) { return modelOf(editor, name); }),
                  std::vector<std::string>{});
        opened = true;
    };
    harness.form.launcher.cmdConfigureLauncher.userClick();
    EXPECT_TRUE(opened);

    testing::UpdateHarness update("http://127.0.0.1:8765");
    EXPECT_EQ(mismatches("frmAutoUpdate", [&](std::string_view name) { return modelOf(update.dialog, name); }),
              std::vector<std::string>{});
}

} // namespace
} // namespace nimbrel
