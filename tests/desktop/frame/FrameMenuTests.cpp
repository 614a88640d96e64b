// The menu bar built from the menu table: every menu by its id, with its
// title, in the menu it opens from, holding its entries in table order.
#include "support/FrameSupport.h"

#include "desktop/services/CalcCommands.h"
#include "desktop/frame/CalcMenus.h"

#include <QMenu>
#include <QMenuBar>

namespace {

// The items of a menu as a user reads them: "-" for a separator, a submenu's
// title followed by " >".
QStringList Items(const QMenu& menu)
{
    QStringList items;
    for (const QAction* item : menu.actions()) {
        if (item->isSeparator())
            items.append(QStringLiteral("-"));
        else if (item->menu())
            items.append(item->text() + QStringLiteral(" >"));
        else
            items.append(item->text());
    }
    return items;
}

QString Title(CalcMenu::Id id)
{
    const std::string_view title = CalcMenu::Find(id).Title;
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

TEST_F(FrameTest, EveryMenuIsBuiltFromItsIdInTheMenuItOpensFrom)
{
    for (const CalcMenu::Info& info : CalcMenu::Menus()) {
        SCOPED_TRACE(Title(info.Menu).toStdString());
        const QMenu* built = frame->menu(info.Menu);
        ASSERT_NE(built, nullptr);
        EXPECT_EQ(built->title(), Title(info.Menu));
        const QList<QAction*> holders =
            info.Parent == CalcMenu::NoMenu ? frame->menuBar()->actions() : frame->menu(info.Parent)->actions();
        EXPECT_TRUE(holders.contains(built->menuAction()));
    }
}

TEST_F(FrameTest, EveryCommandEntryLandsInItsMenuInTableOrder)
{
    for (const CalcMenu::Info& info : CalcMenu::Menus()) {
        SCOPED_TRACE(Title(info.Menu).toStdString());
        QList<QAction*> expected;
        for (const CalcMenu::Entry& entry : CalcMenu::MenuLayout()) {
            if (entry.Menu == info.Menu)
                expected.append(entry.Command == CalcCommand::None ? nullptr : frame->action(entry.Command));
        }
        QList<QAction*> placed;
        for (QAction* item : frame->menu(info.Menu)->actions()) {
            if (!item->menu())
                placed.append(item->isSeparator() ? nullptr : item);
        }
        EXPECT_EQ(placed, expected);
    }
}

TEST_F(FrameTest, SubmenusStandWhereTheirFirstEntryIsListed)
{
    struct Row {
        CalcMenu::Id menu;
        QStringList items;
    };
    const Row rows[] = {
        {CalcMenu::Set, {"&Preferences...", "&Notation >", "&Keypad >", "&Editor Font >"}},
        {CalcMenu::Keypad, {"&Style >", "&Font >", "&Text Color >", "&Color >"}},
        {CalcMenu::KeypadTextColor, {"&Function...", "&Digit...", "&Service...", "-", "S&ystem", "D&efault"}},
        {CalcMenu::Help, {"&Help Topics", "-", "&About Calculator..."}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Items(*frame->menu(row.menu)), row.items) << Title(row.menu).toStdString();
}

}  // namespace
