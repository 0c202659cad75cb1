#pragma once

#include <QLabel>

namespace nimbrel::view {

// A label the user can click, as the classic labels could be: a press and a
// release of the left button inside it make one click. One that takes the
// keyboard's focus shows it with a dotted outline, and Enter or Space click it.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace nimbrel::view
