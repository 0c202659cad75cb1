#include "ui/qt/AboutPanel.h"

#include "app/ControlLayout.h"
#include "app/Panels.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ClickableLabel.h"
#include "ui/qt/Theme.h"
#include "ui/qt/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>

#include <algorithm>

namespace nimbrel::view {

namespace {

QLabel* text(QGroupBox& frame, const char* name, const QString& caption, QRect geometry)
{
    auto* label = new QLabel(caption, &frame);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    return label;
}

// Only the text is the link, not the empty rest of its row.
void fitToText(ClickableLabel& label, int widest)
{
    label.resize(std::min(label.sizeHint().width(), widest), label.height());
}

ClickableLabel* link(QGroupBox& frame, const char* name, LabelModel& model, QRect geometry)
{
    auto* label = new ClickableLabel(&frame);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    bindLabel(*label, model);
    fitToText(*label, geometry.width());
    model.changed.connect([guarded = QPointer<ClickableLabel>(label), widest = geometry.width()] {
        if (guarded) fitToText(*guarded, widest);
    });
    return label;
}

} // namespace

AboutPanel::AboutPanel(QGroupBox& frame, Panels& panels)
{
    // Positions inside the frame, in twips.
    QLabel* name = text(frame, "lblAboutName", QStringLiteral("Nimbrel"), twipsRect(240, 420, 6600, 420));
    name->setFont(tahoma(13, true));
    QPalette palette = name->palette();
    palette.setColor(QPalette::WindowText, theme::column);
    name->setPalette(palette);

    QLabel* description = text(frame, "lblAboutText",
                               QStringLiteral("Nimbrel keeps physical memory free for the programs you work with. "
                                              "It frees RAM when you ask, when memory runs low, or at the "
                                              "intervals you choose, shows how much memory is available at a "
                                              "glance, and starts your programs with room to spare."),
                               twipsRect(240, 900, 6600, 1200));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    text(frame, "lblHelpCaption", QStringLiteral("Help:"), twipsRect(240, 2400, 1800, 255));
    lblHelp = link(frame, "lblHelp", panels.lblHelp, twipsRect(2100, 2400, 4740, 255));

    text(frame, "lblWebsiteCaption", QStringLiteral("Visit our website:"), twipsRect(240, 2820, 1800, 255));
    lblWebsite = link(frame, "lblWebsite", panels.lblWebsite, twipsRect(2100, 2820, 4740, 255));

    text(frame, "lblVersion", QString::fromUtf8(controlLayout("lblVersion").caption), twipsRect(240, 3240, 6600, 255));
}

} // namespace nimbrel::view
