// Every control of the layout table where the Qt view shows it: inside the
// widget of its frame, at its rectangle in pixels (15 twips a pixel).

#include "UiTestSupport.h"
#include "support/UpdateHarness.h"
#include "ui/qt/AutoUpdateWindow.h"
#include "ui/qt/LauncherEditorDialog.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/Twips.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <cstdlib>

namespace nimbrel::testing {
namespace {

bool isMenu(ControlKind kind)
{
    return kind == ControlKind::Menu || kind == ControlKind::MenuEntry || kind == ControlKind::MenuGroup ||
           kind == ControlKind::Separator;
}

void expectAtItsPlace(const ControlLayout& control, QWidget& widget, const QWidget& formArea)
{
    const std::string name = widget.objectName().toStdString();
    if (control.frame == control.form) {
        EXPECT_EQ(widget.parentWidget(), &formArea) << name;
    } else {
        ASSERT_NE(widget.parentWidget(), nullptr) << name;
        EXPECT_EQ(widget.parentWidget()->objectName(), view::layoutText(control.frame)) << name;
    }
    const QRect expected = view::twipsRect(control.place);
    const QRect shown = widget.geometry();
    switch (control.kind) {
    case ControlKind::Surface: // as large as its raster, whole pixels
        EXPECT_EQ(shown.topLeft(), expected.topLeft()) << name;
        EXPECT_LE(std::abs(shown.width() - expected.width()), 1) << name;
        EXPECT_LE(std::abs(shown.height() - expected.height()), 1) << name;
        break;
    case ControlKind::Link: // only the text answers to clicks
        EXPECT_EQ(shown.topLeft(), expected.topLeft()) << name;
        EXPECT_EQ(shown.height(), expected.height()) << name;
        EXPECT_LE(shown.width(), expected.width()) << name;
        break;
    case ControlKind::Line: // the marks of a scale: their tops follow the scale
    case ControlKind::Label:
        if (control.place.top == 0) {
            EXPECT_EQ(shown.left(), expected.left()) << name;
            EXPECT_EQ(shown.size(), expected.size()) << name;
            break;
        }
        [[fallthrough]];
    default:
        EXPECT_EQ(shown, expected) << name;
    }
}

// The widgets of every control of the form, the marks of a scale by their four names.
void expectEveryControlAtItsPlace(QWidget& window, std::string_view form, const QWidget& formArea)
{
    int checked = 0;
    for (const ControlLayout& control : controlLayouts()) {
        if (control.form != form || control.kind == ControlKind::Window || isMenu(control.kind)) continue;
        const QString name = view::layoutText(control.name);
        QList<QWidget*> widgets;
        if (QWidget* widget = window.findChild<QWidget*>(name)) {
            widgets.append(widget);
        } else {
            for (int k = 0; k < 4; ++k) {
                if (QWidget* mark = window.findChild<QWidget*>(name + QString::number(k))) widgets.append(mark);
            }
        }
        EXPECT_FALSE(widgets.isEmpty()) << "no widget for " << control.name;
        for (QWidget* widget : widgets) {
            expectAtItsPlace(control, *widget, formArea);
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_F(MainWindowTest, EveryControlStandsWhereTheLayoutPutsIt)
{
    EXPECT_EQ(window->clientArea().size(), view::twipsRect(controlLayout("frmMain").place).size());
    expectEveryControlAtItsPlace(*window, "frmMain", window->clientArea());
}

TEST_F(MainWindowTest, TheMenusHoldTheirEntriesInTheLayoutsOrder)
{
    for (const ControlLayout* menu : controlsIn("frmMain")) {
        if (menu->kind != ControlKind::Menu) continue;
        std::vector<std::string> expected;
        for (const ControlLayout* entry : controlsIn(menu->name))
            expected.emplace_back(entry->name);
        std::vector<std::string> shown;
        for (QAction* action : child<QMenu>(std::string(menu->name).c_str()).actions()) {
            shown.push_back((action->menu() ? action->menu()->objectName() : action->objectName()).toStdString());
        }
        EXPECT_EQ(shown, expected) << menu->name;
        EXPECT_EQ(child<QMenu>(std::string(menu->name).c_str()).menuAction()->text(), view::layoutText(menu->caption));
    }
}

TEST_F(MainWindowTest, TheLaunchersEditorPlacesItsControlsAsTheLayoutDoes)
{
    bool shown = false;
    form.launcher.showEditor = [&](LauncherEditor& editor) {
        view::LauncherEditorDialog dialog(editor, window.get());
        EXPECT_EQ(dialog.size(), view::twipsRect(controlLayout("frmLauncher", "frmLauncher").place).size());
        expectEveryControlAtItsPlace(dialog, "frmLauncher", dialog);
        shown = true;
    };
    click(child<QPushButton>("cmdConfigureLauncher"));
    EXPECT_TRUE(shown);
}

TEST(AutoUpdateWindowPlaces, EveryControlStandsWhereTheLayoutPutsIt)
{
    UpdateHarness harness("http://127.0.0.1:8765");
    view::AutoUpdateWindow window(harness.dialog);
    EXPECT_EQ(window.size(), view::twipsRect(controlLayout("frmAutoUpdate", "frmAutoUpdate").place).size());
    expectEveryControlAtItsPlace(window, "frmAutoUpdate", window);
}

} // namespace
} // namespace nimbrel::testing
