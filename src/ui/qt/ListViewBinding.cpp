#include "ui/qt/ListViewBinding.h"

#include "core/controls/ListViewModel.h"
#include "online/AutoUpdateDialog.h"
#include "ui/qt/Bindings.h"

#include <QPainter>
#include <QTreeWidget>

namespace nimbrel::view {

namespace {

constexpr int imageSize = 16;

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

void showLines(QTreeWidget& list, const ListViewModel& model)
{
    list.clear();
    for (const ListViewModel::Line& line : model.lines()) {
        auto* item = new QTreeWidgetItem(&list, QStringList{qs(line.text)});
        if (line.image != 0) item->setIcon(0, QIcon(drawStatusImage(line.image)));
    }
    // Lines added while a long step runs show at once.
    list.repaint();
}

} // namespace

void bindListView(QTreeWidget& list, ListViewModel& model)
{
    list.setColumnCount(1);
    list.setHeaderHidden(true);
    list.setRootIsDecorated(false);
    list.setSelectionMode(QAbstractItemView::NoSelection);
    list.setIconSize(QSize(imageSize, imageSize));
    follow(list, model, showLines);
}

} // namespace nimbrel::view
