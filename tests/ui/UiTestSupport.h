#pragma once

#include "support/FormHarness.h"
#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace nimbrel::testing {

// A left click as the user makes it: press and release at a point of the widget.
inline void click(QWidget& widget, QPoint at)
{
    const QPointF local(at);
    const QPointF global(widget.mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

inline void click(QWidget& widget) { click(widget, widget.rect().center()); }

// A key as the user presses it, to whichever widget has the keyboard.
inline void press(int key)
{
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(focused, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(focused, &up);
}

// How many pixels of the image are within tolerance of the colour in each channel.
inline int pixelsNear(const QImage& image, QColor colour, int tolerance = 40)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

// What the user sees of a widget, as pixels.
inline QImage picture(QWidget& widget) { return widget.grab().toImage(); }

// The main window of a 512 MB machine with 100 MB available and 1536 MB of
// page file, loaded and shown, with fakes behind it.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<view::MainWindow>(harness.form);
        harness.form.Form_Load();
    }

    template <typename Widget>
    Widget& child(const char* name)
    {
        Widget* widget = window->findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) throw std::runtime_error(std::string("no widget named ") + name);
        return *widget;
    }

    QMenu& menu(const char* name) { return child<QMenu>(name); }

    QAction& action(const char* name)
    {
        QAction* action = window->menuBar()->findChild<QAction*>(QString::fromLatin1(name));
        if (action == nullptr) throw std::runtime_error(std::string("no menu entry named ") + name);
        return *action;
    }

    // The position of a widget in the client area, where the layout puts it.
    QRect placeOf(QWidget& widget)
    {
        return QRect(widget.mapTo(&window->clientArea(), QPoint(0, 0)), widget.size());
    }

    FormHarness harness;
    MainForm& form = harness.form;
    std::unique_ptr<view::MainWindow> window;
};

} // namespace nimbrel::testing
