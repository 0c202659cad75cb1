#pragma once

#include "UiTestSupport.h"
#include "core/controls/DrawingSurface.h"
#include "ui/qt/FormBuilder.h"
#include "ui/qt/ScaleMarks.h"
#include "ui/qt/SurfaceWidget.h"
#include "ui/qt/Theme.h"
#include "ui/qt/Twips.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nimbrel::testing {

// The user opens the drop-down list, moves to one of its entries and takes it with Enter.
// Pixels of the widget's picture that differ from the surface it shows; -1 when the sizes differ.
inline int differences(view::SurfaceWidget& widget, DrawingSurface& surface)
{
    const QImage image = picture(widget);
    if (image.size() != QSize(surface.pixelWidth(), surface.pixelHeight())) return -1;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = surface.pixel(x, y);
            if (image.pixelColor(x, y) != QColor(red(c), green(c), blue(c))) ++count;
        }
    }
    return count;
}

inline void choose(QComboBox& combo, int index)
{
    combo.showPopup();
    QAbstractItemView& view = *combo.view();
    view.setCurrentIndex(view.model()->index(index, combo.modelColumn()));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    if (view.isVisible()) throw std::runtime_error("the drop-down list stayed open");
}

// The user clicks a check box or an option button on its caption, where it
// answers to clicks, however wide the button is laid out.
inline void clickCaption(QAbstractButton& button)
{
    click(button, QPoint(std::min(button.width(), button.sizeHint().width()) / 2, button.height() / 2));
}

// A row of a list, as the view shows it.
inline QModelIndex rowOf(const QListView& list, int row)
{
    return list.model()->index(row, 0);
}

// The user clicks a row of a list.
inline void clickRow(QListView& list, int row)
{
    list.scrollTo(rowOf(list, row));
    click(*list.viewport(), list.visualRect(rowOf(list, row)).center());
}

// What a widget that holds a list of texts shows, in order.
inline std::vector<std::string> entries(const QComboBox& combo)
{
    std::vector<std::string> texts;
    for (int i = 0; i < combo.count(); ++i)
        texts.push_back(combo.itemText(i).toStdString());
    return texts;
}

inline std::vector<std::string> entries(const QListView& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.model()->rowCount(); ++i)
        texts.push_back(rowOf(list, i).data().toString().toStdString());
    return texts;
}

// The text of the selected row, or "<none>".
inline std::string selectedText(const QListView& list)
{
    const QModelIndexList selected = list.selectionModel()->selectedIndexes();
    return selected.size() == 1 ? selected.first().data().toString().toStdString() : std::string("<none>");
}

// The widgets that lie partly outside the frame or over one another, as
// "name" or "name/name"; empty when the layout is clean.
inline std::vector<std::string> layoutFaults(const QWidget& frame, const QList<QWidget*>& widgets)
{
    std::vector<std::string> faults;
    const QRect inside = frame.rect();
    for (int i = 0; i < widgets.size(); ++i) {
        const QRect a = widgets[i]->geometry();
        if (!inside.contains(a)) faults.push_back(widgets[i]->objectName().toStdString());
        for (int j = i + 1; j < widgets.size(); ++j) {
            if (a.intersects(widgets[j]->geometry())) {
                faults.push_back(widgets[i]->objectName().toStdString() + "/" + widgets[j]->objectName().toStdString());
            }
        }
    }
    return faults;
}

// The captions that do not fit their check box, option button or label, by name.
inline std::vector<std::string> cutOffCaptions(const QWidget& root)
{
    std::vector<std::string> cut;
    for (const QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
        if (button->sizeHint().width() > button->width()) cut.push_back(button->objectName().toStdString());
    }
    for (const QLabel* label : root.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                            : label->sizeHint().width() <= label->width();
        if (!fits) cut.push_back(label->objectName().toStdString());
    }
    return cut;
}

// One panel of the main window in a frame of the panel area's size, built
// before the main window's load sequence as the window builds it, on a 512 MB
// machine with 100 MB available and 1536 MB of page file, then loaded and shown.
class PanelTest : public ::testing::Test {
protected:
    explicit PanelTest(std::string_view panel) : panel_(panel) {}

    void SetUp() override
    {
        frame.resize(view::twipsRect(controlLayout("fmRAM").place).size());
        frame.setFont(view::tahoma(8)); // the main window's font
        view::buildControls(
            frame, panel_, "frmMain", [this](std::string_view name) { return modelOf(form, name); },
            [this](QWidget& parent, const ControlLayout& row) {
                return view::buildScaleMarks(parent, row, form.graphs);
            });
        form.Form_Load();
        frame.show();
    }

    // The panel's widget of that name.
    template <typename Widget> Widget& child(const QString& name)
    {
        Widget* widget = frame.findChild<Widget*>(name);
        if (widget == nullptr) throw std::runtime_error("no widget named " + name.toStdString());
        return *widget;
    }

    FormHarness harness;
    MainForm& form = harness.form;
    QGroupBox frame;

private:
    std::string_view panel_;
};

} // namespace nimbrel::testing
