// Message boxes shown for real and answered by clicking their buttons.

#include "ui/qt/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace nimbrel::testing {
namespace {

struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool modal = false;
};

class QtMessageBoxesTest : public ::testing::Test {
protected:
    // Shows the box, looks at it once it is open and clicks the chosen button, as the user would.
    int show(const std::string& prompt, int style, QMessageBox::StandardButton choice)
    {
        seen_ = std::make_shared<SeenBox>();
        QTimer::singleShot(0, [seen = seen_, choice] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            seen->text = box->text();
            seen->title = box->windowTitle();
            seen->icon = box->icon();
            seen->buttons = box->standardButtons();
            seen->defaultButton = box->standardButton(box->defaultButton());
            seen->modal = box->isModal();
            box->button(choice)->click();
        });
        return boxes_.msgBox(prompt, style, "Nimbrel");
    }
    const SeenBox& seen() const { return *seen_; }

private:
    view::QtMessageBoxes boxes_;
    std::shared_ptr<SeenBox> seen_;
};

TEST(QtMessageBoxesPlace, ABoxOpensOverTheMiddleOfTheMainWindow)
{
    QWidget owner;
    owner.setGeometry(300, 150, 500, 400);
    owner.show();
    view::QtMessageBoxes boxes;
    boxes.setParentWindow(&owner);
    QPoint apart(1000, 1000);
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        apart = box->frameGeometry().center() - owner.frameGeometry().center();
        box->button(QMessageBox::Ok)->click();
    });
    boxes.msgBox("The program list Launcher.mbl is too long.", mb::exclamation | mb::okOnly, "Nimbrel");
    EXPECT_LE(std::abs(apart.x()), 3);
    EXPECT_LE(std::abs(apart.y()), 3);
}

TEST_F(QtMessageBoxesTest, AnInformationBoxWithOkAnswersOne)
{
    const int answer = show("The application is already releasing RAM.Please wait or try later.",
                            mb::information | mb::okOnly, QMessageBox::Ok);

    EXPECT_EQ(answer, mb::ok);
    EXPECT_EQ(seen().text, "The application is already releasing RAM.Please wait or try later.");
    EXPECT_EQ(seen().title, "Nimbrel");
    EXPECT_EQ(seen().icon, QMessageBox::Information);
    EXPECT_EQ(seen().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(seen().modal);
}

TEST_F(QtMessageBoxesTest, AQuestionWithYesAndNoAnswersSixOrSeven)
{
    EXPECT_EQ(show("Upgrade now?", mb::question | mb::yesNo, QMessageBox::Yes), mb::yes);
    EXPECT_EQ(seen().icon, QMessageBox::Question);
    EXPECT_EQ(seen().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen().defaultButton, QMessageBox::Yes);

    EXPECT_EQ(show("Upgrade now?", mb::question | mb::yesNo, QMessageBox::No), mb::no);
}

TEST_F(QtMessageBoxesTest, TheSecondButtonCanBeTheDefault)
{
    EXPECT_EQ(show("Really?", mb::exclamation | mb::yesNo | 256, QMessageBox::No), mb::no);
    EXPECT_EQ(seen().icon, QMessageBox::Warning);
    EXPECT_EQ(seen().defaultButton, QMessageBox::No);
}

TEST_F(QtMessageBoxesTest, ACriticalBoxShowsTheCriticalIcon)
{
    EXPECT_EQ(show("Failed", mb::critical, QMessageBox::Ok), mb::ok);
    EXPECT_EQ(seen().icon, QMessageBox::Critical);
}

TEST_F(QtMessageBoxesTest, TheOtherClassicButtonSetsAnswerWithTheirNumbers)
{
    EXPECT_EQ(show("?", 1, QMessageBox::Cancel), 2);
    EXPECT_EQ(seen().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(show("?", 2, QMessageBox::Ignore), 5);
    EXPECT_EQ(show("?", 3, QMessageBox::Cancel), 2);
    EXPECT_EQ(show("?", 5, QMessageBox::Retry), 4);
}

} // namespace
} // namespace nimbrel::testing
