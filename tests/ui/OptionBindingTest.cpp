// Option buttons bound to an option-group model.

#include "UiTestSupport.h"

#include "core/controls/OptionGroupModel.h"
#include "ui/qt/OptionBinding.h"

#include <QKeyEvent>
#include <QRadioButton>
#include <QVBoxLayout>

namespace nimbrel::testing {
namespace {

class OptionBindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&frame);
        for (int i = 0; i < 3; ++i) {
            buttons.append(new QRadioButton(&frame));
            layout->addWidget(buttons.last());
        }
        group.onClick = [this](int index) { handled.push_back(index); };
    }
    void bind()
    {
        view::bindOptions(buttons, group);
        frame.show();
    }
    std::vector<int> checked() const
    {
        std::vector<int> set;
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons[i]->isChecked()) set.push_back(i);
        }
        return set;
    }

    OptionGroupModel group{{"Slower", "Medium", "Faster"}};
    QWidget frame;
    QList<QAbstractButton*> buttons;
    std::vector<int> handled;
};

TEST_F(OptionBindingTest, ShowsTheCaptionsAndNoOptionWhileNoneIsSet)
{
    bind();
    EXPECT_EQ(buttons[0]->text(), "Slower");
    EXPECT_EQ(buttons[1]->text(), "Medium");
    EXPECT_EQ(buttons[2]->text(), "Faster");
    EXPECT_TRUE(checked().empty());
}

TEST_F(OptionBindingTest, ShowsTheOptionSetBeforeBinding)
{
    group.setValue(1);
    bind();
    EXPECT_EQ(checked(), std::vector<int>{1});
}

TEST_F(OptionBindingTest, AnOptionSetFromCodeIsShownWithoutComingBackAsAClick)
{
    bind();
    group.setValue(2);
    EXPECT_EQ(checked(), std::vector<int>{2});
    group.setValue(0);
    EXPECT_EQ(checked(), std::vector<int>{0});
    EXPECT_EQ(handled, (std::vector<int>{2, 0})); // the model's own handler only
}

TEST_F(OptionBindingTest, TheUsersClickSetsTheOptionOnce)
{
    bind();
    click(*buttons[1]);

    EXPECT_EQ(group.selected(), 1);
    EXPECT_EQ(handled, std::vector<int>{1});
    EXPECT_EQ(checked(), std::vector<int>{1});
}

TEST_F(OptionBindingTest, ClickingTheSetOptionAgainIsStillAClickAndKeepsItSet)
{
    group.setValue(2);
    bind();
    handled.clear();

    click(*buttons[2]);

    EXPECT_EQ(handled, std::vector<int>{2});
    EXPECT_EQ(checked(), std::vector<int>{2});
}

TEST_F(OptionBindingTest, TheArrowKeyMovesToTheNextOptionAndSetsIt)
{
    group.setValue(0);
    bind();
    frame.activateWindow();
    QCoreApplication::processEvents();
    buttons[0]->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), buttons[0]);
    handled.clear();

    QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(buttons[0], &press);

    EXPECT_EQ(group.selected(), 1);
    EXPECT_EQ(handled, std::vector<int>{1});
    EXPECT_EQ(checked(), std::vector<int>{1});
}

TEST_F(OptionBindingTest, AClickTheGroupRefusesLeavesNoOptionSet)
{
    // A fourth button with no option behind it in the group.
    buttons.append(new QRadioButton(QStringLiteral("Other"), &frame));
    frame.layout()->addWidget(buttons.last());
    bind();

    click(*buttons[3]);

    EXPECT_EQ(group.selected(), -1);
    EXPECT_TRUE(checked().empty());
    EXPECT_TRUE(handled.empty());
}

} // namespace
} // namespace nimbrel::testing
