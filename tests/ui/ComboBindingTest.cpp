// A drop-down list bound to a list model.

#include "PanelTestSupport.h"

#include "core/controls/ListModel.h"
#include "ui/qt/ComboBinding.h"

namespace nimbrel::testing {
namespace {

class ComboBindingTest : public ::testing::Test {
protected:
    void fill(int count, const std::string& unit = "")
    {
        for (int i = 1; i <= count; ++i)
            model.addItem(std::to_string(i) + unit);
    }
    void bind()
    {
        view::bindCombo(*combo, model);
        combo->show();
    }
    void countClicks()
    {
        model.onClick = [this] { ++clicks; };
    }

    ListModel model;
    std::unique_ptr<QComboBox> combo = std::make_unique<QComboBox>();
    int clicks = 0;
};

TEST_F(ComboBindingTest, ShowsTheEntriesAndTheSelectedOne)
{
    fill(3, " MB");
    model.setListIndex(1);
    bind();

    EXPECT_EQ(entries(*combo), (std::vector<std::string>{"1 MB", "2 MB", "3 MB"}));
    EXPECT_EQ(combo->currentText(), "2 MB");
    EXPECT_FALSE(combo->isEditable());
}

TEST_F(ComboBindingTest, AThousandEntriesOpenAsAScrolledListOnTheCurrentOne)
{
    // The minimum amounts of a machine with 2 GB or more: 2 to 2000 MB.
    for (int mb = 2; mb <= 2000; mb += 2) model.addItem(std::to_string(mb) + " MB");
    model.setListIndex(600);
    bind();
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(list->isVisible());
    const QRect shown = list->viewport()->rect();
    const int rowHeight = list->sizeHintForRow(0);
    ASSERT_GT(rowHeight, 0);
    EXPECT_LE(shown.height() / rowHeight, 21) << "about twenty rows, not the screen's height";
    EXPECT_GE(shown.height() / rowHeight, 10);
    EXPECT_TRUE(shown.intersects(list->visualRect(list->model()->index(600, 0)))) << "1202 MB is in sight";
    combo->hidePopup();
}

TEST_F(ComboBindingTest, WithoutASelectionShowsNoEntry)
{
    bind();
    // The first entry of an empty drop-down list does not become the shown one.
    fill(250);

    EXPECT_EQ(combo->count(), 250);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->currentText(), "");
}

TEST_F(ComboBindingTest, EntriesAddedOneByOneAreAppendedWithoutRebuilding)
{
    fill(2);
    model.setListIndex(0);
    bind();
    int removed = 0;
    QObject::connect(combo->model(), &QAbstractItemModel::rowsRemoved, [&] { ++removed; });

    for (int i = 3; i <= 1000; ++i)
        model.addItem(std::to_string(i));

    ASSERT_EQ(combo->count(), 1000);
    EXPECT_EQ(combo->itemText(999), "1000");
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(combo->currentText(), "1");
}

TEST_F(ComboBindingTest, AClearedModelIsShownAfreshWhenRefilled)
{
    fill(10);
    model.setListIndex(5);
    bind();

    model.clear();
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(combo->currentIndex(), -1);

    fill(24);
    model.setListIndex(5);
    ASSERT_EQ(combo->count(), 24);
    EXPECT_EQ(combo->itemText(23), "24");
    EXPECT_EQ(combo->currentText(), "6");
}

TEST_F(ComboBindingTest, TheUsersChoiceGoesIntoTheModelOnce)
{
    fill(20);
    bind();
    countClicks();

    choose(*combo, 19);

    EXPECT_EQ(model.listIndex(), 19);
    EXPECT_EQ(model.text(), "20");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(combo->currentText(), "20");
}

TEST_F(ComboBindingTest, ChoosingTheShownEntryAgainIsStillAChoice)
{
    fill(5);
    model.setListIndex(2);
    bind();
    countClicks();

    choose(*combo, 2);

    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(model.listIndex(), 2);
}

TEST_F(ComboBindingTest, ASelectionFromCodeIsShownWithoutComingBackAsAChoice)
{
    fill(10);
    bind();
    countClicks();

    model.setListIndex(7);
    EXPECT_EQ(combo->currentText(), "8");
    EXPECT_EQ(clicks, 1); // the model's own handler, and no second one from the widget

    model.setListIndex(-1);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ComboBindingTest, WhatTheHandlerSelectsInsteadIsWhatShows)
{
    fill(10);
    bind();
    model.onClick = [this] {
        if (model.listIndex() != 0) model.setListIndex(0);
    };

    choose(*combo, 6);

    EXPECT_EQ(model.listIndex(), 0);
    EXPECT_EQ(combo->currentText(), "1");
}

TEST_F(ComboBindingTest, TheModelMayChangeAfterTheDropDownListIsGone)
{
    fill(3);
    bind();
    combo.reset();

    model.addItem("4");
    model.setListIndex(3);
    model.clear();

    EXPECT_EQ(model.count(), 0);
}

} // namespace
} // namespace nimbrel::testing
