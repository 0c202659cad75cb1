#include "ui/qt/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <utility>
#include <vector>

namespace nimbrel::view {

namespace {

using Buttons = std::vector<std::pair<QMessageBox::StandardButton, int>>;

Buttons buttonsOf(int style)
{
    using B = QMessageBox;
    switch (style & 0x0F) {
    case 1: return {{B::Ok, 1}, {B::Cancel, 2}};
    case 2: return {{B::Abort, 3}, {B::Retry, 4}, {B::Ignore, 5}};
    case 3: return {{B::Yes, 6}, {B::No, 7}, {B::Cancel, 2}};
    case mb::yesNo: return {{B::Yes, 6}, {B::No, 7}};
    case 5: return {{B::Retry, 4}, {B::Cancel, 2}};
    default: return {{B::Ok, mb::ok}};
    }
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case mb::critical: return QMessageBox::Critical;
    case mb::question: return QMessageBox::Question;
    case mb::exclamation: return QMessageBox::Warning;
    case mb::information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

int QtMessageBoxes::msgBox(const std::string& prompt, int style, const std::string& title)
{
    QWidget* parent = parent_ && parent_->isVisible() ? parent_.data() : nullptr;
    QMessageBox box(iconOf(style), QString::fromStdString(title), QString::fromStdString(prompt),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    // What a message says (a path, an address) can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.setWindowModality(Qt::ApplicationModal);

    const Buttons buttons = buttonsOf(style);
    for (const auto& [button, answer] : buttons) box.addButton(button);
    const std::size_t defaultIndex = static_cast<std::size_t>((style >> 8) & 0x03);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0].first);

    box.exec();

    const QMessageBox::StandardButton chosen = box.standardButton(box.clickedButton());
    for (const auto& [button, answer] : buttons) {
        if (button == chosen) return answer;
    }
    // Closed without a button (the program ending underneath it): the box's
    // way out, Cancel where it has one, else its last button.
    for (const auto& [button, answer] : buttons) {
        if (button == QMessageBox::Cancel) return answer;
    }
    return buttons.back().second;
}

} // namespace nimbrel::view
