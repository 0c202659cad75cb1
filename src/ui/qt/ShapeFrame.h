#pragma once

#include <QFrame>

namespace nimbrel::view {

// The dark, orange-edged frame behind the banner and the navigation column
// and around the meters and graphs.
class ShapeFrame : public QFrame {
    Q_OBJECT
public:
    explicit ShapeFrame(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nimbrel::view
