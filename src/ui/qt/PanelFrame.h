#pragma once

#include <QGroupBox>

namespace nimbrel::view {

// One of the seven panels: a white card with a thin grey edge and its
// caption in bold on the top edge. The controls inside keep the window's
// plain font.
class PanelFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit PanelFrame(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nimbrel::view
