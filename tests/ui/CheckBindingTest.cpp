// A check box bound to a check-box model.

#include "UiTestSupport.h"

#include "core/controls/CheckBoxModel.h"
#include "ui/qt/CheckBinding.h"

#include <QCheckBox>
#include <QKeyEvent>

namespace nimbrel::testing {
namespace {

class CheckBindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.onClick = [this] { ++clicks; };
        view::bindCheck(*box, model);
        box->resize(box->sizeHint());
        box->show();
    }

    CheckBoxModel model{"Enable"};
    std::unique_ptr<QCheckBox> box = std::make_unique<QCheckBox>();
    int clicks = 0;
};

TEST_F(CheckBindingTest, ShowsTheCaptionAndTheState)
{
    EXPECT_EQ(box->text(), "Enable");
    EXPECT_EQ(box->checkState(), Qt::Unchecked);

    model.setValue(1);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    model.setValue(2);
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    model.setValue(0);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
}

TEST_F(CheckBindingTest, AValueSetFromCodeDoesNotComeBackAsAClick)
{
    model.setValue(1);
    EXPECT_EQ(clicks, 1); // the model's own handler, and no second one from the widget
    EXPECT_EQ(model.value(), 1);
}

TEST_F(CheckBindingTest, TheUsersClickTicksTheModelOnce)
{
    click(*box);

    EXPECT_EQ(model.value(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(box->checkState(), Qt::Checked);

    click(*box);
    EXPECT_EQ(model.value(), 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
}

TEST_F(CheckBindingTest, TheSpaceBarIsAClickToo)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(box.get(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(box.get(), &release);

    EXPECT_EQ(model.value(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CheckBindingTest, ClickingAGreyedBoxShowsWhatTheModelMakesOfIt)
{
    model.setValue(2);
    clicks = 0;

    click(*box);

    EXPECT_EQ(model.value(), 0);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    EXPECT_EQ(clicks, 1);

    // No greyed state on the way: the next click ticks the box.
    click(*box);
    EXPECT_EQ(box->checkState(), Qt::Checked);
}

TEST_F(CheckBindingTest, AHandlerThatUndoesTheClickLeavesTheBoxAsItWas)
{
    model.onClick = [this] { model.setValue(0); };

    click(*box);

    EXPECT_EQ(model.value(), 0);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
}

TEST_F(CheckBindingTest, TheModelMayChangeAfterTheBoxIsGone)
{
    box.reset();
    model.setValue(1);
    EXPECT_EQ(model.value(), 1);
}

} // namespace
} // namespace nimbrel::testing
