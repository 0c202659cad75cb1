#include "ui/qt/AutoUpdateWindow.h"

#include "online/AutoUpdateDialog.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/WindowPlacement.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

namespace nimbrel::view {

namespace {
constexpr int imageSize = 16;
}

QPixmap drawStatusImage(int image)
{
    QPixmap pixmap(imageSize, imageSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool good = image == AutoUpdateDialog::progressImage;
    painter.setPen(Qt::NoPen);
    painter.setBrush(good ? QColor(0x2e, 0x8b, 0x57) : QColor(0xc0, 0x39, 0x2b));
    painter.drawEllipse(QRectF(0.5, 0.5, imageSize - 1, imageSize - 1));
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (good) {
        painter.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5.5)}));
    } else {
        painter.drawLine(QPointF(5, 5), QPointF(11, 11));
        painter.drawLine(QPointF(11, 5), QPointF(5, 11));
    }
    return pixmap;
}

AutoUpdateWindow::AutoUpdateWindow(AutoUpdateDialog& dialog)
    : QWidget(nullptr), dialog_(dialog), label_(new QLabel(this)), statusList_(new QTreeWidget(this)),
      proceed_(new QPushButton(this)), cancel_(new QPushButton(this)), statusBar_(new QStatusBar(this))
{
    constexpr std::string_view form = "frmAutoUpdate";
    laidOut<QWidget>(this, form, form);
    setFixedSize(size());
    offerNoMaximise(*this);
    laidOut(label_, "Label1", form);
    laidOut(statusList_, "ListView1", form);
    laidOut(proceed_, "cmdProceed", form);
    laidOut(cancel_, "cmdCancel", form);
    laidOut(statusBar_, "StatusBar1", form);

    statusList_->setColumnCount(1);
    statusList_->setHeaderHidden(true);
    statusList_->setRootIsDecorated(false);
    statusList_->setSelectionMode(QAbstractItemView::NoSelection);
    statusList_->setIconSize(QSize(imageSize, imageSize));
    statusBar_->setSizeGripEnabled(false);

    bindLabel(*label_, dialog_.Label1);
    bindButton(*proceed_, dialog_.cmdProceed);
    bindButton(*cancel_, dialog_.cmdCancel);
    // The models may outlive the window.
    const QPointer<AutoUpdateWindow> self(this);
    dialog_.ListView1.changed.connect([self] {
        if (self) self->showLines();
    });
    dialog_.frmAutoUpdate.changed.connect([self] {
        if (self) self->showWindow();
    });
    dialog_.frmAutoUpdate.raiseRequested.connect([self] {
        if (!self) return;
        self->raise();
        self->activateWindow();
    });
    showLines();
    showWindow();
}

void AutoUpdateWindow::showLines()
{
    statusList_->clear();
    for (const ListViewModel::Line& line : dialog_.ListView1.lines()) {
        auto* item = new QTreeWidgetItem(statusList_, QStringList{qs(line.text)});
        if (line.image != 0) item->setIcon(0, QIcon(drawStatusImage(line.image)));
    }
    // Lines added while Proceed runs show at once.
    statusList_->repaint();
}

void AutoUpdateWindow::showWindow()
{
    setWindowTitle(qs(dialog_.frmAutoUpdate.caption()));
    const bool shown = dialog_.frmAutoUpdate.shown();
    // Each time it opens, over the main window.
    if (shown && !isVisible()) centreOn(*this, shownMainWindow());
    setVisible(shown);
}

void AutoUpdateWindow::closeEvent(QCloseEvent* event)
{
    // The close box closes the dialog as "Cancel" does; the model decides what is shown.
    event->ignore();
    runUserAction([this] { dialog_.cmdCancel_Click(); });
}

void AutoUpdateWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the window as its close box does, as it would a dialog's.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace nimbrel::view
