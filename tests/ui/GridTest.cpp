// The grid driven as the views drive it: keyed columns, rows filled cell by cell, sorting,
// colours, formats, editing requests and the background picture, all headless.
#include "Grid.h"
#include "ReadableText.h"
#include "Screen.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

using namespace vexal;

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScreenMetrics m;
        m.twipsPerPixelX = 15;
        m.twipsPerPixelY = 15;
        Screen::SetMetrics(m);
    }
    void TearDown() override { Screen::ResetMetrics(); }

    // A predictions-like grid: away, points, home, points, a pick and a hidden pool column.
    void LayOut(Grid& g)
    {
        g.SetRedraw(false);
        g.Clear(true);
        g.AddColumn("Away", "Away Team", HdrAlignLeft, -1, 120);
        g.AddColumn("APts", "Pts", HdrAlignCentre, -1, 40, true, false, {}, true, "0.0");
        g.AddColumn("Home", "Home Team", HdrAlignLeft, -1, 120);
        g.AddColumn("Pool", "Pool", HdrAlignLeft, -1, 40, false, false, {}, true, "0.0");
        g.SetRedraw(true);
    }
};

QString Column(const Grid& g, int col)
{
    QString s;
    for (int r = 1; r <= g.Rows(); ++r) {
        if (r > 1)
            s += ',';
        s += g.CellFormattedText(r, col);
    }
    return s;
}

TEST_F(GridTest, ColumnsAreKeyedAndKeepTheirLook)
{
    Grid g;
    LayOut(g);
    ASSERT_EQ(g.Cols(), 4);
    EXPECT_EQ(g.ColumnIndex("Home"), 3);
    EXPECT_EQ(g.ColumnIndex("nothing"), 0);
    EXPECT_EQ(g.ColumnKey(2), "APts");
    EXPECT_EQ(g.ColumnHeader(1), "Away Team");
    EXPECT_EQ(g.ColumnHeader(QStringLiteral("Pool")), "Pool");
    EXPECT_EQ(g.ColumnAlign(2), HdrAlignCentre);
    EXPECT_EQ(g.ColumnFormat(2), "0.0");

    // A hidden column keeps its width and still counts.
    EXPECT_FALSE(g.ColumnVisible(4));
    EXPECT_EQ(g.ColumnWidth(4), 40);
    g.SetColumnWidth(4, 55);
    EXPECT_EQ(g.ColumnWidth(4), 55);
    g.SetColumnVisible(4, true);
    EXPECT_TRUE(g.ColumnVisible(4));
    EXPECT_EQ(g.ColumnWidth(4), 55);

    // Widths in twips convert at the screen's twips per pixel.
    g.SetColumnWidthTwips(1, 1500);
    EXPECT_EQ(g.ColumnWidth(1), 100);
    EXPECT_DOUBLE_EQ(g.ColumnWidthTwips(1), 1500);

    // Inserted before a key: the later columns move up one.
    EXPECT_EQ(g.AddColumn("Line", "Line", 0, -1, 50, true, false, "Home"), 3);
    EXPECT_EQ(g.ColumnIndex("Home"), 4);
    EXPECT_EQ(g.ColumnHeader(4), "Home Team");
    EXPECT_EQ(g.ColumnFormat(5), "0.0");

    // Display order follows moves of the header.
    EXPECT_EQ(g.ColumnOrder(1), 1);
    g.SetColumnOrder(1, 3);
    EXPECT_EQ(g.ColumnOrder(1), 3);
    EXPECT_EQ(g.ColumnAtPosition(3), 1);

    // Clear keeps the columns; Clear(true) drops them.
    g.SetCell(2, 1, "x");
    g.Clear();
    EXPECT_EQ(g.Rows(), 0);
    EXPECT_EQ(g.Cols(), 5);
    g.Clear(true);
    EXPECT_EQ(g.Cols(), 0);
    EXPECT_EQ(g.ColumnIndex("Away"), 0);
}

TEST_F(GridTest, CellsHoldValuesAndShowThemFormatted)
{
    Grid g;
    LayOut(g);
    EXPECT_EQ(g.AddRow(-1, 0, true, 18), 1);
    EXPECT_EQ(g.RowHeight(1), 18);
    EXPECT_DOUBLE_EQ(g.RowHeightTwips(1), 270);

    g.SetCell(1, 1, "Dallas", DtSingleLine | DtWordEllipsis, -1, 0xC0FFFF);
    g.SetCell(1, 2, 23.5f);
    g.SetCell(1, 3, "N.Y. Giants", DtCenter);
    g.SetCell(1, 4, 7);
    // A row beyond the last is made when one of its cells is set.
    g.SetCell(3, 2, 17);
    EXPECT_EQ(g.Rows(), 3);
    // A column beyond the last is refused.
    g.SetCell(1, 9, "lost");
    EXPECT_EQ(g.Cols(), 4);

    EXPECT_EQ(g.CellText(1, 1).toString(), "Dallas");
    EXPECT_EQ(g.CellFormattedText(1, 2), "23.5");
    EXPECT_EQ(g.CellFormattedText(1, 4), "7.0");
    EXPECT_EQ(g.CellFormattedText(3, 2), "17.0");
    EXPECT_DOUBLE_EQ(g.CellValue(1, 2).toDouble(), 23.5);
    EXPECT_FALSE(g.CellText(2, 1).isValid()) << "a cell never set is empty";
    EXPECT_EQ(g.CellFormattedText(2, 1), "");

    // Without a format a Single shows its shortest text and a Double its 15 digits.
    g.SetColumnFormat(2, QString());
    EXPECT_EQ(g.CellFormattedText(1, 2), "23.5");
    g.SetCellText(1, 2, 0.1f);
    EXPECT_EQ(g.CellFormattedText(1, 2), "0.1");
    g.SetCellText(1, 2, 1.0 / 3.0);
    EXPECT_EQ(g.CellFormattedText(1, 2), "0.333333333333333");
    // Changing the format re-renders what the cells show.
    g.SetColumnFormat(2, "0.00");
    EXPECT_EQ(g.CellFormattedText(1, 2), "0.33");
    EXPECT_EQ(g.item(0, 1)->text(), "0.33");

    EXPECT_EQ(g.CellTextFlags(1, 1), DtSingleLine | DtWordEllipsis);
    EXPECT_EQ(g.CellAlignment(1, 3) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(g.CellAlignment(1, 1) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(GridTest, ColoursAndFontsReadBack)
{
    Grid g;
    LayOut(g);
    // Red 255, green 255, blue 192 is 0xC0FFFF in the Windows order.
    g.SetCell(1, 1, "Dallas", DtDefaultCell, -1, 0xC0FFFF, 0x0000FF);
    g.SetCell(1, 3, "Giants");
    EXPECT_EQ(g.CellBackColor(1, 1), 0xC0FFFF);
    EXPECT_EQ(g.CellForeColor(1, 1), 0x0000FF);
    EXPECT_EQ(g.CellBackQColor(1, 1), QColor(255, 255, 192));
    EXPECT_EQ(g.CellForeQColor(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(g.CellBackColor(1, 3), GridNoColor);
    EXPECT_EQ(g.CellForeColor(1, 3), GridNoColor);
    EXPECT_EQ(g.item(0, 0)->background().color(), QColor(255, 255, 192));

    // The grid's own colours default to the system window colours.
    EXPECT_EQ(static_cast<uint32_t>(g.BackColor()), 0x80000005u);
    EXPECT_EQ(static_cast<uint32_t>(g.ForeColor()), 0x80000008u);
    EXPECT_EQ(g.CellBackQColor(1, 3), QApplication::palette().color(QPalette::Base));
    // A system colour in a cell is translated.
    g.SetCellBackColor(1, 3, SystemColorValue(ColorButtonFace));
    EXPECT_EQ(g.CellBackQColor(1, 3), QApplication::palette().color(QPalette::Button));
    g.SetForeColor(0x008000);
    EXPECT_EQ(g.CellForeQColor(1, 3), QColor(0, 128, 0));

    // A cell font is the grid's own copy; other cells use the grid font.
    QFont bold = g.font();
    bold.setBold(true);
    g.SetCell(2, 1, "Total", DtDefaultCell, -1, GridNoColor, GridNoColor, &bold);
    bold.setItalic(true); // the grid kept a copy
    EXPECT_TRUE(g.CellFont(2, 1).bold());
    EXPECT_FALSE(g.CellFont(2, 1).italic());
    EXPECT_TRUE(g.CellHasFont(2, 1));
    EXPECT_FALSE(g.CellFont(1, 1).bold());
    EXPECT_EQ(g.CellFont(1, 1), g.font());

    // Setting a cell again sets its whole look: what is not given goes back to the grid's.
    g.SetCell(2, 1, "Total");
    EXPECT_FALSE(g.CellHasFont(2, 1));
    EXPECT_FALSE(g.CellFont(2, 1).bold());
    g.SetCell(3, 1, "x", DtDefaultCell, -1, 0xFF, 0xFF00);
    g.SetCell(3, 1, "x");
    EXPECT_EQ(g.CellForeColor(3, 1), GridNoColor);
    EXPECT_EQ(g.CellBackColor(3, 1), GridNoColor);
    EXPECT_FALSE(g.item(2, 0)->background().style() != Qt::NoBrush);

    // With a background picture, uncoloured cells have no colour of their own to show.
    QPixmap picture(8, 8);
    picture.fill(Qt::blue);
    g.SetBackgroundPicture(picture);
    EXPECT_FALSE(g.CellBackQColor(2, 1).isValid());
    EXPECT_TRUE(g.CellBackQColor(1, 1).isValid());
}

TEST_F(GridTest, SortIsStableAscendingAndDescending)
{
    Grid g;
    LayOut(g);
    // Pool values with ties; the away names tell the rows apart.
    const struct { const char* away; double pool; int height; } rows[] = {
        {"A", 3.0, 15}, {"B", 1.0, 16}, {"C", 3.0, 17}, {"D", 2.0, 18}, {"E", 1.0, 19}, {"F", 3.0, 20},
    };
    for (const auto& r : rows) {
        const int row = g.AddRow(-1, 0, true, r.height);
        g.SetCell(row, 1, r.away, DtDefaultCell, -1, r.away[0] == 'C' ? 0x00FFFF : GridNoColor);
        g.SetCell(row, 4, r.pool);
    }
    auto& keys = g.SortObject();
    keys.Clear();
    keys.SetSortColumn(1, g.ColumnIndex("Pool"));
    keys.SetSortOrder(1, SortAscending);
    keys.SetSortType(1, SortNumeric);
    g.Sort();
    EXPECT_EQ(Column(g, 1), "B,E,D,A,C,F");
    EXPECT_EQ(Column(g, 4), "1.0,1.0,2.0,3.0,3.0,3.0");
    // Whole rows move: looks and heights go with them.
    EXPECT_EQ(g.CellBackColor(5, 1), 0x00FFFF);
    EXPECT_EQ(g.RowHeight(5), 17);
    EXPECT_EQ(g.RowHeight(1), 16);

    keys.SetSortOrder(1, SortDescending);
    g.Sort();
    // Ties keep the order they had: A, C, F stay in that order, as do B, E.
    EXPECT_EQ(Column(g, 1), "A,C,F,D,B,E");
    EXPECT_EQ(g.RowHeight(2), 17);
}

TEST_F(GridTest, SortKeysNumericTextAndSeveralKeys)
{
    Grid g;
    g.AddColumn("Team", "Team");
    g.AddColumn("W", "W");
    g.AddColumn("Pct", "Pct");
    const struct { const char* team; int w; const char* pct; } rows[] = {
        {"bears", 9, "10"}, {"Lions", 9, "9"}, {"Bills", 11, "2"}, {"colts", 2, "9.5"},
    };
    for (const auto& r : rows) {
        const int row = g.Rows() + 1;
        g.SetCell(row, 1, r.team);
        g.SetCell(row, 2, r.w);
        g.SetCell(row, 3, r.pct);
    }
    auto& keys = g.SortObject();
    // Numeric on text cells reads their numbers: 2 < 9 < 9.5 < 10.
    keys.Clear();
    keys.SetSortColumn(1, 3);
    keys.SetSortOrder(1, SortAscending);
    keys.SetSortType(1, SortNumeric);
    g.Sort();
    EXPECT_EQ(Column(g, 1), "Bills,Lions,colts,bears");
    // As text the same cells sort by characters: "10" < "2" < "9" < "9.5".
    keys.SetSortType(1, SortString);
    g.Sort();
    EXPECT_EQ(Column(g, 1), "bears,Bills,Lions,colts");
    // Case-sensitive text puts capitals first; case-insensitive does not.
    keys.SetSortColumn(1, 1);
    keys.SetSortType(1, SortString);
    g.Sort();
    EXPECT_EQ(Column(g, 1), "Bills,Lions,bears,colts");
    keys.SetSortType(1, SortStringNoCase);
    g.Sort();
    EXPECT_EQ(Column(g, 1), "bears,Bills,colts,Lions");
    // Key 1 wins descending by wins; key 2 breaks the tie of the two 9-win teams.
    keys.Clear();
    keys.SetSortColumn(1, 2);
    keys.SetSortOrder(1, SortDescending);
    keys.SetSortType(1, SortNumeric);
    keys.SetSortColumn(2, 1);
    keys.SetSortOrder(2, SortAscending);
    keys.SetSortType(2, SortStringNoCase);
    g.Sort();
    EXPECT_EQ(Column(g, 1), "Bills,bears,Lions,colts");
    // A key on a column that does not exist sorts nothing.
    keys.Clear();
    keys.SetSortColumn(1, 9);
    g.Sort();
    EXPECT_EQ(Column(g, 1), "Bills,bears,Lions,colts");
}

TEST_F(GridTest, RedrawSuspendsPaintingAndRowsCanHide)
{
    Grid g;
    LayOut(g);
    EXPECT_TRUE(g.Redraw());
    g.SetRedraw(false);
    EXPECT_FALSE(g.Redraw());
    EXPECT_FALSE(g.updatesEnabled());
    g.SetRedraw(true);
    EXPECT_TRUE(g.updatesEnabled());

    g.AddRow(-1, 0, true, 20);
    g.AddRow(-1, 0, false, 22);
    EXPECT_TRUE(g.RowVisible(1));
    EXPECT_FALSE(g.RowVisible(2));
    EXPECT_EQ(g.RowHeight(2), 22) << "a hidden row keeps its height";
    g.SetRowVisible(2, true);
    EXPECT_EQ(g.RowHeight(2), 22);
    // Inserted before row 1.
    EXPECT_EQ(g.AddRow(1, 5, true, 30), 1);
    EXPECT_EQ(g.RowKey(1).toInt(), 5);
    EXPECT_EQ(g.RowHeight(2), 20);
    g.SetRows(1);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_FALSE(g.Header() == false);
    g.SetHeader(false);
    EXPECT_FALSE(g.Header());
}

TEST_F(GridTest, EditRequestsComeFromKeysAndDoubleClicks)
{
    Grid g;
    LayOut(g);
    g.resize(400, 200);
    for (int r = 1; r <= 3; ++r)
        g.SetCell(r, 2, r * 1.5);
    g.show();
    g.SetSelection(2, 2);
    EXPECT_EQ(g.SelectedRow(), 2);
    EXPECT_EQ(g.SelectedCol(), 2);

    std::vector<std::array<int, 3>> requests;
    std::vector<bool> ended;
    QObject::connect(&g, &Grid::RequestEdit, [&](int row, int col, int key, bool&) { requests.push_back({row, col, key}); });
    QObject::connect(&g, &Grid::EditEnded, [&](bool cancelled) { ended.push_back(cancelled); });

    // Not editable: typing does not ask for an edit.
    QKeyEvent seven(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
    QApplication::sendEvent(&g, &seven);
    EXPECT_EQ(static_cast<int>(requests.size()), 0);

    g.SetEditable(true);
    QApplication::sendEvent(&g, &seven);
    ASSERT_EQ(static_cast<int>(requests.size()), 1);
    EXPECT_EQ(requests[0][0], 2);
    EXPECT_EQ(requests[0][1], 2);
    EXPECT_EQ(requests[0][2], '7');
    EXPECT_TRUE(g.InEdit());
    EXPECT_EQ(g.CellText(2, 2).toDouble(), 3.0) << "the grid never edits a cell itself";
    // A second key while editing belongs to the view's editor.
    QApplication::sendEvent(&g, &seven);
    EXPECT_EQ(static_cast<int>(requests.size()), 1);
    g.EndEdit();
    ASSERT_EQ(static_cast<int>(ended.size()), 1);
    EXPECT_FALSE(ended[0]);
    EXPECT_FALSE(g.InEdit());

    // A handler that refuses the edit leaves the grid out of edit mode.
    auto refuse = QObject::connect(&g, &Grid::RequestEdit, [](int, int col, int, bool& cancel) { cancel = col == 1; });
    EXPECT_FALSE(g.StartEdit(1, 1));
    EXPECT_FALSE(g.InEdit());
    QObject::disconnect(refuse);

    // A double click asks with key 0; CancelEdit ends it as cancelled.
    const QRect cell = g.visualRect(g.model()->index(0, 1));
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(cell.center()), QPointF(g.viewport()->mapToGlobal(cell.center())),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g.viewport(), &dbl);
    ASSERT_EQ(static_cast<int>(requests.size()), 3);
    EXPECT_EQ(requests[2][0], 1);
    EXPECT_EQ(requests[2][1], 2);
    EXPECT_EQ(requests[2][2], 0);
    g.CancelEdit();
    ASSERT_EQ(static_cast<int>(ended.size()), 2);
    EXPECT_TRUE(ended[1]);
}

TEST_F(GridTest, CellBoundaryAndNotifications)
{
    Grid g;
    LayOut(g);
    g.resize(500, 300);
    for (int r = 1; r <= 4; ++r)
        g.AddRow(-1, 0, true, 20);
    g.show();

    const QRect a = g.CellBoundary(2, 1);
    const QRect b = g.CellBoundary(2, 2);
    EXPECT_EQ(a.width(), 120);
    EXPECT_EQ(a.height(), 20);
    EXPECT_EQ(b.left(), a.left() + 120);
    EXPECT_EQ(b.top(), a.top());
    EXPECT_EQ(g.CellBoundary(3, 1).top(), a.top() + 20);
    // Below the header row.
    EXPECT_GE(a.top(), g.horizontalHeader()->height() + 20);
    EXPECT_TRUE(g.CellBoundary(2, 4).isEmpty()) << "hidden column";

    std::vector<std::pair<int, int>> selection;
    std::vector<int> columnClicks;
    std::vector<std::pair<int, int>> mouse;
    QObject::connect(&g, &Grid::SelectionChange, [&](int r, int c) { selection.emplace_back(r, c); });
    QObject::connect(&g, &Grid::ColumnClick, [&](int c) { columnClicks.push_back(c); });
    QObject::connect(&g, &Grid::MouseDown, [&](int button, int shift, int, int) { mouse.emplace_back(button, shift); });
    g.SetSelection(3, 2);
    ASSERT_EQ(selection.size(), 1u);
    EXPECT_EQ(selection[0], std::make_pair(3, 2));

    emit g.horizontalHeader()->sectionClicked(2);
    ASSERT_EQ(columnClicks.size(), 1u);
    EXPECT_EQ(columnClicks[0], 3);

    const QPoint inViewport = g.visualRect(g.model()->index(0, 0)).center();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(inViewport), QPointF(g.viewport()->mapToGlobal(inViewport)),
                      Qt::RightButton, Qt::RightButton, Qt::ShiftModifier);
    QApplication::sendEvent(g.viewport(), &press);
    ASSERT_EQ(mouse.size(), 1u);
    EXPECT_EQ(mouse[0], std::make_pair(2, 1));
}

TEST_F(GridTest, SortingKeepsTheSelectionOnItsRow)
{
    Grid g;
    g.AddColumn("N", "N");
    for (int v : {3, 1, 2})
        g.SetCell(g.Rows() + 1, 1, v);
    g.SetSelection(1, 1); // the row holding 3
    g.SortObject().SetSortColumn(1, 1);
    g.SortObject().SetSortType(1, SortNumeric);
    int selections = 0;
    QObject::connect(&g, &Grid::SelectionChange, [&](int, int) { ++selections; });
    g.Sort();
    EXPECT_EQ(g.SelectedRow(), 3);
    EXPECT_EQ(selections, 0);
}

TEST_F(GridTest, BackgroundPictureShowsBehindUncolouredCells)
{
    Grid g;
    g.AddColumn("A", "A", 0, -1, 60);
    g.AddColumn("B", "B", 0, -1, 60);
    g.SetCell(1, 1, "", DtDefaultCell, -1, 0x0000FF); // red cell
    g.SetCell(1, 2, "");                               // no colour of its own
    g.SetRowHeight(1, 30);
    QPixmap picture(4, 4);
    picture.fill(QColor(0, 0, 255));
    g.SetBackgroundPicture(picture);
    g.resize(200, 120);
    g.setFrameShape(QFrame::NoFrame);
    g.show();
    const QImage shot = g.viewport()->grab().toImage();
    const QRect red = g.visualRect(g.model()->index(0, 0));
    const QRect open = g.visualRect(g.model()->index(0, 1));
    EXPECT_EQ(QColor(shot.pixel(red.center())), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(open.center())), QColor(0, 0, 255));
    // Below the last row the picture shows too.
    EXPECT_EQ(QColor(shot.pixel(10, 100)), QColor(0, 0, 255));

    EXPECT_FALSE(g.SetBackgroundPictureFile("/nonexistent/picture.gif"));
    EXPECT_FALSE(g.BackgroundPicture().isNull()) << "an unreadable file changes nothing";
}

// A grid's rows are the program's colours: beside them, below them and in an empty row the
// grid shows the background they go with, also when the desktop turns dark while it shows,
// and its own text stays readable there.
TEST_F(GridTest, WhatLiesBeyondTheCellsStaysTheGridsBackgroundOnADarkDesktop)
{
    const QPalette light = QApplication::palette();
    Grid g;
    g.AddColumn("A", "A", 0, -1, 60);
    g.SetCell(1, 1, "Dallas", DtDefaultCell, -1, 0xFFFFFF);
    g.SetCell(3, 1, "Giants");                         // no colour of its own; row 2 is empty
    g.resize(200, 160);
    g.setFrameShape(QFrame::NoFrame);
    g.show();
    auto shown = [&g](const QPoint& at) { return QColor(g.viewport()->grab().toImage().pixel(at)); };
    const QPoint beside(150, 5), below(10, g.viewport()->height() - 5);
    const QPoint emptyRow = g.visualRect(g.model()->index(1, 0)).center();
    const QColor white(255, 255, 255);
    ASSERT_EQ(shown(beside), light.color(QPalette::Base));

    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    for (const QPoint& at : {beside, below, emptyRow})
        EXPECT_EQ(shown(at), white) << at.x() << "," << at.y();
    EXPECT_EQ(g.BackQColor(), white);
    EXPECT_GE(ContrastRatio(g.CellForeQColor(3, 1), g.CellBackQColor(3, 1)), 4.5);
    EXPECT_GE(ContrastRatio(g.palette().color(QPalette::Text), white), 4.5);

    QApplication::setPalette(light);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(beside), light.color(QPalette::Base));
}

} // namespace
