// The Release RAM panel: the amount list, "FreeUp RAM Now" and the totals.

#include "PanelTestSupport.h"

#include <QLabel>
#include <QPushButton>

namespace nimbrel::testing {
namespace {

class ReleasePanelTest : public MainWindowTest {
protected:
    QListView& list() { return child<QListView>("lstRam"); }
    void userClicksRow(int row) { clickRow(list(), row); }
    std::string selectedText() { return testing::selectedText(list()); }
    int count() { return list().model()->rowCount(); }
    std::string entry(int row) { return rowOf(list(), row).data().toString().toStdString(); }
};

TEST_F(ReleasePanelTest, OnA512MbMachineTheListRunsFrom2To512Mb)
{
    ASSERT_EQ(count(), 256);
    EXPECT_EQ(entry(0), "2 MB");
    EXPECT_EQ(entry(255), "512 MB");
    // The stored position (none yet, so 0) is selected.
    EXPECT_EQ(selectedText(), "2 MB");
}

TEST_F(ReleasePanelTest, TheTotalsShowInKilobytes)
{
    EXPECT_EQ(child<QLabel>("lblPM").text(), "Total Physical Memory: 524288 KB");
    EXPECT_EQ(child<QLabel>("lblVM").text(), "Total Page File Memory: 1572864 KB");
}

TEST_F(ReleasePanelTest, TheListSitsOnTheLeftWithTheButtonBelowIt)
{
    auto& button = child<QPushButton>("cmdRam");
    EXPECT_EQ(button.text(), "FreeUp RAM Now");
    EXPECT_TRUE(button.isVisible());
    EXPECT_LE(placeOf(list()).bottom(), placeOf(button).top());
    // The right part of the panel stays free for the gauges and the CPU meter.
    EXPECT_LE(placeOf(list()).right(), 144 + 475 / 3);
    const QRect panel(144, 104, 475, 257);
    for (QWidget* w : std::initializer_list<QWidget*>{&list(), &button, &child<QLabel>("lblPM"), &child<QLabel>("lblVM")}) {
        EXPECT_TRUE(panel.contains(placeOf(*w))) << w->objectName().toStdString();
    }
}

TEST_F(ReleasePanelTest, EntriesAddedLaterAreAppendedToTheListAsItIs)
{
    list().scrollTo(rowOf(list(), 100), QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents(); // the view lays its rows out when it gets to it
    const QModelIndex top = list().indexAt(QPoint(2, 2));
    ASSERT_EQ(top.row(), 100);

    form.amounts.lstRam.addItem("514 MB");

    ASSERT_EQ(count(), 257);
    EXPECT_EQ(entry(256), "514 MB");
    // Nothing was rebuilt: the list stays where the user scrolled it, with its choice.
    QCoreApplication::processEvents();
    EXPECT_EQ(list().indexAt(QPoint(2, 2)), top);
    EXPECT_EQ(selectedText(), "2 MB");
}

TEST_F(ReleasePanelTest, ClearingTheModelEmptiesTheList)
{
    form.amounts.lstRam.clear();
    EXPECT_EQ(count(), 0);

    form.amounts.lstRam.addItem("2 MB");
    ASSERT_EQ(count(), 1);
    EXPECT_EQ(selectedText(), "<none>");
}

TEST_F(ReleasePanelTest, EachClickOfTheUserGoesIntoTheModelOnce)
{
    int clicks = 0;
    const auto handler = form.amounts.lstRam.onClick;
    form.amounts.lstRam.onClick = [&] {
        ++clicks;
        handler();
    };

    userClicksRow(7);

    EXPECT_EQ(form.amounts.lstRam.listIndex(), 7);
    EXPECT_EQ(form.amounts.lstRam.text(), "16 MB");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(harness.profile.written("RAM", "Release"), std::optional<std::string>("7"));

    harness.profile.writes.clear();
    userClicksRow(7); // the entry already chosen
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(harness.profile.written("RAM", "Release"), std::optional<std::string>("7"));
}

TEST_F(ReleasePanelTest, ASelectionFromCodeMovesTheListWithoutComingBackAsAClick)
{
    int clicks = 0;
    form.amounts.lstRam.onClick = [&] { ++clicks; };

    form.amounts.lstRam.setListIndex(200);

    EXPECT_EQ(selectedText(), "402 MB");
    EXPECT_EQ(list().currentIndex().row(), 200);
    EXPECT_EQ(clicks, 1); // the model's own change handler, and no second one from the widget

    form.amounts.lstRam.setListIndex(-1);
    EXPECT_EQ(selectedText(), "<none>");
    EXPECT_EQ(clicks, 2);
}

TEST_F(ReleasePanelTest, FreeUpRamNowPressedTwiceShowsTheBusyMessage)
{
    auto& button = child<QPushButton>("cmdRam");

    click(button);
    EXPECT_TRUE(form.engine.running());
    EXPECT_TRUE(harness.messages.shown.empty());

    click(button);
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].prompt, "The application is already releasing RAM.Please wait or try later.");
    EXPECT_EQ(harness.messages.shown[0].style, 64);
    EXPECT_EQ(harness.messages.shown[0].title, "Nimbrel");
}

TEST_F(ReleasePanelTest, TheChosenAmountIsReleased)
{
    userClicksRow(7); // 16 MB on top of the 100 MB available

    click(child<QPushButton>("cmdRam"));
    harness.scheduler.advance(1000);

    ASSERT_EQ(harness.block.blocks.size(), 1u);
    EXPECT_EQ(harness.block.blocks[0], 116 * MB);
}

TEST_F(ReleasePanelTest, ARefusalsWholeReasonStandsOnThePanelWithinItsPlace)
{
    harness.memory.setMB(512, 100, 512, 100); // no swap
    harness.block.outcome = BlockOutcome::Refused;
    userClicksRow(255); // 512 MB
    click(child<QPushButton>("cmdRam"));
    harness.scheduler.advance(1000);

    QLabel& outcome = child<QLabel>("lblOutcome");
    EXPECT_EQ(outcome.text().toStdString(),
              "Nothing was freed: there is no swap space, so Linux already counts all it could free as available "
              "(the Page File gauge is memory and swap together). A 512 MB release needs more than 512 MB of free "
              "swap.");
    const QRect room = outcome.contentsRect();
    const QRect wrapped = QFontMetrics(outcome.font()).boundingRect(QRect(0, 0, room.width(), 1 << 20),
                                                                   Qt::TextWordWrap | outcome.alignment(), outcome.text());
    EXPECT_LE(wrapped.height(), room.height()) << "no line runs past the label into the bars' captions";
    EXPECT_GE(outcome.font().pointSizeF(), 6.0);
}

} // namespace
} // namespace nimbrel::testing
