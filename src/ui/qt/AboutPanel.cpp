#include "ui/qt/AboutPanel.h"

#include "app/Panels.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ClickableLabel.h"
#include "ui/qt/PanelWidgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>

#include <algorithm>

namespace nimbrel::view {

namespace {

// Only the text is the link, not the empty rest of its row.
void fitToText(ClickableLabel& label, int widest)
{
    label.resize(std::min(label.sizeHint().width(), widest), label.height());
}

ClickableLabel* link(QGroupBox& frame, const char* name, LabelModel& model)
{
    auto* label = place<ClickableLabel>(frame, name);
    // Reached with Tab like every other control; Enter or Space open it.
    label->setFocusPolicy(Qt::TabFocus);
    bindLabel(*label, model);
    const int widest = label->width();
    fitToText(*label, widest);
    model.changed.connect([guarded = QPointer<ClickableLabel>(label), widest] {
        if (guarded) fitToText(*guarded, widest);
    });
    return label;
}

} // namespace

AboutPanel::AboutPanel(QGroupBox& frame, Panels& panels)
{
    place<QLabel>(frame, "lblAboutName");
    place<QLabel>(frame, "lblAboutText");
    place<QLabel>(frame, "lblHelpCaption");
    lblHelp = link(frame, "lblHelp", panels.lblHelp);
    place<QLabel>(frame, "lblWebsiteCaption");
    lblWebsite = link(frame, "lblWebsite", panels.lblWebsite);
    place<QLabel>(frame, "lblVersion");
}

} // namespace nimbrel::view
