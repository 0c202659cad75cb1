#include "ui/qt/ReleasePanel.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/Theme.h"

#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>

namespace nimbrel::view {

ReleasePanel::ReleasePanel(QGroupBox& frame, MainForm& form)
    : lstRam(place<QListView>(frame, "lstRam")), cmdRam(place<QPushButton>(frame, "cmdRam")),
      lblPM(place<QLabel>(frame, "lblPM")), lblVM(place<QLabel>(frame, "lblVM")),
      lblOutcome(place<QLabel>(frame, "lblOutcome"))
{
    lstRam->setUniformItemSizes(true); // a thousand entries of one height
    bindList(*lstRam, form.amounts.lstRam);

    // The program's own button: orange with a bold dark caption.
    cmdRam->setCursor(Qt::PointingHandCursor);
    bindButton(*cmdRam, form.engine.cmdRam);

    bindLabel(*lblPM, form.amounts.lblPM);
    bindLabel(*lblVM, form.amounts.lblVM);
    // How the last release ended, in the free space under the totals: a refusal's whole reason in a smaller
    // font where the usual one would run past the bars' captions.
    bindLabel(*lblOutcome, form.engine.lblOutcome);
    form.engine.lblOutcome.changed.connect(
        [guarded = QPointer<QLabel>(lblOutcome), designed = lblOutcome->font()] {
            if (guarded) shrinkToFitHeight(*guarded, designed);
        });
}

} // namespace nimbrel::view
