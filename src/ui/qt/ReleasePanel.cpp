#include "ui/qt/ReleasePanel.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/PanelWidgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace nimbrel::view {

ReleasePanel::ReleasePanel(QGroupBox& frame, MainForm& form)
    : lstRam(place<QListView>(frame, "lstRam")), cmdRam(place<QPushButton>(frame, "cmdRam")),
      lblPM(place<QLabel>(frame, "lblPM")), lblVM(place<QLabel>(frame, "lblVM")),
      lblOutcome(place<QLabel>(frame, "lblOutcome"))
{
    lstRam->setUniformItemSizes(true); // a thousand entries of one height
    bindList(*lstRam, form.amounts.lstRam);

    // The program's own button: orange with bold white text.
    cmdRam->setCursor(Qt::PointingHandCursor);
    bindButton(*cmdRam, form.engine.cmdRam);

    bindLabel(*lblPM, form.amounts.lblPM);
    bindLabel(*lblVM, form.amounts.lblVM);
    // How the last release ended, in the free space under the totals.
    bindLabel(*lblOutcome, form.engine.lblOutcome);
}

} // namespace nimbrel::view
