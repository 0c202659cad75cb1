#pragma once

#include <QFrame>

namespace nimbrel::view {

// The frame behind the banner and the navigation column and around the
// meters and graphs: a rounded edge in the palette's text colour around an
// inside in its window colour (the layout's fore and back colours).
class ShapeFrame : public QFrame {
    Q_OBJECT
public:
    explicit ShapeFrame(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nimbrel::view
