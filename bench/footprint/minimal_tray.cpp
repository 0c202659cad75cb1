// The smallest Qt program that does at rest what Nimbrel does: a window with a
// label that changes once a second, and an icon in the notification area whose
// tooltip follows it. The yardstick of bench/footprint/footprint.
// "--hidden" leaves the window hidden, as in the tray.

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool hidden = argc > 1 && std::strcmp(argv[1], "--hidden") == 0;

    QLabel label(QStringLiteral("0 MB"));
    label.setWindowTitle(QStringLiteral("Minimal tray"));
    label.resize(625, 450);
    QPixmap picture(22, 22);
    picture.fill(Qt::blue);
    QSystemTrayIcon icon{QIcon(picture)};
    icon.show();
    if (!hidden) label.show();

    int seconds = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const QString text = QString::number(++seconds) + QStringLiteral(" MB");
        label.setText(text);
        icon.setToolTip(text);
    });
    tick.start(1000);
    return app.exec();
}
