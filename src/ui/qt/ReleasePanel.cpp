#include "ui/qt/ReleasePanel.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/Theme.h"
#include "ui/qt/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace nimbrel::view {

ReleasePanel::ReleasePanel(QGroupBox& frame, MainForm& form)
    : lstRam(new QListView(&frame)),
      cmdRam(new QPushButton(&frame)),
      lblPM(new QLabel(&frame)),
      lblVM(new QLabel(&frame)),
      lblOutcome(new QLabel(&frame))
{
    // Positions inside the frame, in twips.
    lstRam->setObjectName(QStringLiteral("lstRam"));
    lstRam->setGeometry(twipsRect(180, 360, 1935, 2730));
    lstRam->setUniformItemSizes(true); // a thousand entries of one height
    bindList(*lstRam, form.amounts.lstRam);

    cmdRam->setObjectName(QStringLiteral("cmdRam"));
    cmdRam->setGeometry(twipsRect(180, 3180, 1935, 495));
    cmdRam->setCursor(Qt::PointingHandCursor);
    accentButton(*cmdRam);
    bindButton(*cmdRam, form.engine.cmdRam);

    lblPM->setObjectName(QStringLiteral("lblPM"));
    // Two lines if need be: the CPU meter stands to the right of the totals.
    lblPM->setGeometry(twipsRect(2340, 360, 2565, 480));
    lblPM->setWordWrap(true);
    lblPM->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bindLabel(*lblPM, form.amounts.lblPM);

    lblVM->setObjectName(QStringLiteral("lblVM"));
    lblVM->setGeometry(twipsRect(2340, 900, 2565, 480));
    lblVM->setWordWrap(true);
    lblVM->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bindLabel(*lblVM, form.amounts.lblVM);

    // How the last release ended, in the free space under the totals.
    lblOutcome->setObjectName(QStringLiteral("lblOutcome"));
    lblOutcome->setGeometry(twipsRect(2340, 1440, 2565, 840));
    lblOutcome->setWordWrap(true);
    lblOutcome->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bindLabel(*lblOutcome, form.engine.lblOutcome);
}

} // namespace nimbrel::view
