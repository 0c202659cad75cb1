#pragma once

#include <QLabel>

namespace nimbrel::view {

// A label the user can click, as the classic labels could be: a press and a
// release of the left button inside it make one click.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace nimbrel::view
