#include "core/controls/CheckBoxModel.h"
#include "core/controls/ListModel.h"
#include "core/controls/OptionGroupModel.h"
#include "core/base/RuntimeError.h"
#include "core/base/Signal.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

ListModel listOf(int n)
{
    ListModel list;
    for (int i = 0; i < n; ++i) list.addItem(std::to_string(2 * (i + 1)) + " MB");
    return list;
}

int errorNumber(const std::function<void()>& f)
{
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(ListModel, SelectingFromCodeRunsTheHandlerOnlyWhenThePositionChanges)
{
    ListModel list = listOf(3);
    int clicks = 0;
    list.onClick = [&] { ++clicks; };
    list.setListIndex(1);
    list.setListIndex(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.text(), "4 MB");
    list.userSelect(1);
    EXPECT_EQ(clicks, 2) << "a user's click always runs the handler";
}

TEST(ListModel, PositionsOutsideTheListAreInvalidPropertyValues)
{
    ListModel list = listOf(3);
    list.setListIndex(2);
    EXPECT_EQ(errorNumber([&] { list.setListIndex(3); }), 380);
    EXPECT_EQ(errorNumber([&] { list.setListIndex(-2); }), 380);
    EXPECT_EQ(list.listIndex(), 2) << "a refused position leaves the selection";
    list.setListIndex(-1);
    EXPECT_EQ(list.text(), "");
}

TEST(ListModel, ClearingDropsTheSelection)
{
    ListModel list = listOf(2);
    list.setListIndex(0);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.listIndex(), -1);
}

TEST(CheckBoxModel, ValueFromCodeAndUserClicks)
{
    CheckBoxModel box;
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    box.setValue(0);
    EXPECT_EQ(clicks, 0);
    box.setValue(1);
    EXPECT_EQ(clicks, 1);
    box.userClick();
    EXPECT_EQ(box.value(), 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(errorNumber([&] { box.setValue(3); }), 380);
}

TEST(OptionGroupModel, OneOptionSetAtATime)
{
    OptionGroupModel group({"Fully Displayed", "Minimized in Taskbar", "Hidden"});
    std::vector<int> clicked;
    group.onClick = [&](int i) { clicked.push_back(i); };
    group.setValue(2);
    group.setValue(2);
    group.userClick(2);
    EXPECT_EQ(clicked, (std::vector<int>{2, 2}));
    EXPECT_TRUE(group.value(2));
    EXPECT_FALSE(group.value(0));
    EXPECT_NE(errorNumber([&] { group.setValue(3); }), 0);
}

} // namespace
} // namespace nimbrel

namespace nimbrel {
namespace {

TEST(Signal, AnObserverConnectedWhileCalledHearsTheNextChangeOnly)
{
    Signal<int> changed;
    std::vector<std::string> heard;
    changed.connect([&](int n) {
        heard.push_back("first " + std::to_string(n));
        if (n == 1) changed.connect([&](int m) { heard.push_back("late " + std::to_string(m)); });
    });
    changed.emit(1);
    changed.emit(2);
    EXPECT_EQ(heard, (std::vector<std::string>{"first 1", "first 2", "late 2"}));
}

} // namespace
} // namespace nimbrel
