#pragma once

#include "ui/qt/ClickableLabel.h"

namespace nimbrel::view {

// A navigation entry of the dark column. The behaviour colours the entry of
// the chosen panel blue, which would vanish on the dark column, so a caption
// darker than the column's light text gets a light chip behind it. The
// keyboard reaches it with Tab, marked by an orange outline, and Enter or
// Space choose it as a click does.
class NavigationLabel : public ClickableLabel {
    Q_OBJECT
public:
    explicit NavigationLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace nimbrel::view
