#pragma once
// Grid: the one grid control every view uses (Predictions, Statistics, Standings, Power
// Ratings, Enter Lines), and the one that printing and HTML export read back.
//
// It keeps the operations and numbering the views were written against:
//   - rows and columns count from 1; row 0 / column 0 are never cells;
//   - widths and heights are pixels (twips variants convert through Screen);
//   - colours are Windows colour values 0x00BBGGRR (red in the low byte); -1 means "none of
//     its own" (the grid's colour or background picture shows); a value with the top bit set
//     (0x80000000 | index) is a Windows system colour, translated through TranslateColor;
//   - a cell holds a value (QVariant: empty, text, integer, float or double). Numbers stay
//     numbers, so numeric sorting works and the column's format ("0.0", vb::Format patterns)
//     applies when the cell is shown; CellFormattedText is the text as displayed.
//
// Typical use, as in a view:
//   grid->SetRedraw(false);
//   grid->Clear(true);
//   grid->AddColumn("Away", "Away", 0, -1, 90);
//   grid->AddColumn("Pts", "Pts", 0, -1, 40, true, false, {}, true, "0.0");
//   grid->AddColumn("Pool", "Pool", 0, -1, 40, false);            // hidden, still a sort key
//   grid->AddRow(-1, 0, true, 18);
//   grid->SetCell(1, grid->ColumnIndex("Away"), "Dallas", DtSingleLine | DtWordEllipsis, -1, 0xC0FFFF);
//   grid->SetCell(1, 2, 23.5f);                                    // shows "23.5"
//   grid->SortObject().Clear();
//   grid->SortObject().SetSortColumn(1, grid->ColumnIndex("Pool"));
//   grid->SortObject().SetSortOrder(1, SortDescending);
//   grid->SortObject().SetSortType(1, SortNumeric);
//   grid->Sort();                                                  // stable: ties keep their order
//   grid->SetRedraw(true);
//
// Readers (printing, HTML export): font() is the grid font (QWidget::font, pointSizeF for
// the size); Header(), Cols(), ColumnOrder(c), ColumnVisible(c), ColumnWidth(c) (pixels),
// ColumnKey(c), ColumnHeader(c or key), BackColor(), ForeColor(), Rows(), RowVisible(r),
// CellFormattedText(r, c), CellFont(r, c), CellForeColor/CellBackColor(r, c),
// CellAlignment(r, c), BackgroundPicture().
//
// In-cell editing is done by the view's own editor: with Editable on, a double click, F2 or
// a typed character on a cell raises RequestEdit(row, col, key, cancel); the view places its
// editor over CellBoundary(row, col) and later calls EndEdit() or CancelEdit(), which raise
// EditEnded(). The grid never edits a cell by itself.
//
// Works headless (offscreen platform); all state is readable without painting.
#include <QFont>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QTableWidget>
#include <QVariant>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vexal {

// A grid column laid out by its share of the grid's width: its key, heading and share.
struct GridColumnShare {
    const char* key;
    const char* header;
    double factor;
};

// Text-drawing flags of a cell, with the Windows DrawText values the views pass.
enum GridTextFlags : int {
    DtLeft = 0x0,
    DtCenter = 0x1,
    DtRight = 0x2,
    DtVCenter = 0x4,
    DtBottom = 0x8,
    DtWordBreak = 0x10,
    DtSingleLine = 0x20,
    DtEndEllipsis = 0x8000,
    DtWordEllipsis = 0x40000,
};
// The flags a cell has when SetCell is given none: single line, word ellipsis, left.
inline constexpr int DtDefaultCell = DtSingleLine | DtWordEllipsis;

// Header alignment of AddColumn.
enum GridHeaderAlign : int { HdrAlignLeft = 0, HdrAlignCentre = 1, HdrAlignRight = 2 };

// Sort keys.
enum GridSortOrder : int { SortNone = 0, SortAscending = 1, SortDescending = 2 };
enum GridSortType : int {
    SortNumeric = 100,        // numbers compare as numbers; texts by their leading number (Val)
    SortString = 101,         // text, case-sensitive
    SortStringNoCase = 102,   // text, case-insensitive
    SortStringCase = 103,     // text, case-sensitive (as 101)
};

// No colour of its own.
inline constexpr int32_t GridNoColor = -1;
// The colour theme's background colour, whichever it is: a cell given it shows the grid's
// ThemeBackColor(), and follows it when SetThemeBackColor changes it (a new colour theme).
// Readers (CellBackColor, printing, export) see the colour it stands for.
inline constexpr int32_t GridThemeBack = 0x40000000;

// The sort keys of a grid. Key indexes count from 1; Sort() orders by key 1, later keys
// breaking ties, and keeps rows that tie on every key in their current order.
class GridSortObject {
public:
    struct Key {
        int column = 0;                 // 1-based column; 0 = unused key
        int order = SortAscending;
        int type = SortString;
    };
    void Clear();                       // removes every key
    void ClearKeys() { Clear(); }
    int Count() const { return static_cast<int>(keys_.size()); }

    void SetSortColumn(int key, int column);
    void SetSortOrder(int key, int order);
    void SetSortType(int key, int type);
    int SortColumn(int key) const;
    int SortOrder(int key) const;
    int SortType(int key) const;
    // Other names the views use for the same keys.
    void SetKeyColumn(int key, int column) { SetSortColumn(key, column); }
    void SetKeyOrder(int key, int order) { SetSortOrder(key, order); }
    void SetKeyType(int key, int type) { SetSortType(key, type); }

    const std::vector<Key>& Keys() const { return keys_; }

private:
    Key& At(int key);                   // grows the list up to key
    std::vector<Key> keys_;
};

class Grid : public QTableWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    // ---- Columns ------------------------------------------------------------------------
    // Appends a column (or inserts it before the column keyed insertBeforeKey when that key
    // exists) and returns its 1-based index. width -1 = default width (64 px). alignment is
    // the header's (GridHeaderAlign). icon: index into the image list, -1 = none. format: the
    // vb::Format pattern applied to numeric values of the column's cells (empty = none).
    // A hidden column still holds values and can be a sort key. fixedWidth: the user cannot
    // resize it. includeInSelect is kept for the views; it changes nothing here.
    int AddColumn(const QString& key, const QString& header = QString(), int alignment = HdrAlignLeft,
                  int icon = -1, int width = -1, bool visible = true, bool fixedWidth = false,
                  const QString& insertBeforeKey = QString(), bool includeInSelect = true,
                  const QString& format = QString());
    void RemoveColumn(int col);
    int Cols() const;
    int Columns() const { return Cols(); }

    QString ColumnKey(int col) const;
    void SetColumnKey(int col, const QString& key);
    int ColumnIndex(const QString& key) const;          // 0 when no column has that key
    QString ColumnHeader(int col) const;
    QString ColumnHeader(const QString& key) const;     // by key; empty when absent
    void SetColumnHeader(int col, const QString& header);
    int ColumnAlign(int col) const;                      // GridHeaderAlign
    void SetColumnAlign(int col, int alignment);
    // Widens every visible column to its widest text (headers and bold cells measured in their
    // own face) so that no text is cut off; the columns listed in `give` give back room they do
    // not need while the grid is wider than its view.
    void FitColumnsToText(std::initializer_list<int> give = {});
    // Shows the text in `face` (cells of their own font keep only their boldness) with every column as wide as its text; where the columns are then wider than
    // the view, the text is made smaller (FittingFace) so that every column shows whole: to three
    // quarters of `face` at most, or of the face the windows are laid out for (DesignFontPoints)
    // when a desktop's face is larger.
    void FitTextToView(const QFont& face, std::initializer_list<int> give = {});
    // Lets the grid fill its view: the rows share the view's height (never lower than a line
    // of text, so that as many rows show as there is room for) and the columns in `widen`
    // share the width the columns leave empty. Called before FitTextToView too, the text is
    // fitted to the width the rows leave.
    void FillView(std::initializer_list<int> widen = {});
    // The width the columns have to show in: the view's as the present rows leave it (the
    // scroll bars catch up with a change of sizes only later).
    int RoomForColumns() const;
    int ShownColumnsWidth() const;                       // pixels, of the visible columns
    int ShownRowsHeight() const;                         // pixels, of the visible rows
    // Pixels the grid takes to show every visible row whole: its frame, heading and rows.
    int WholeRowsHeight() const;
    int ColumnWidth(int col) const;                      // pixels (also when hidden)
    void SetColumnWidth(int col, int pixels);
    double ColumnWidthTwips(int col) const;
    void SetColumnWidthTwips(int col, double twips);
    bool ColumnVisible(int col) const;
    void SetColumnVisible(int col, bool visible);
    QString ColumnFormat(int col) const;
    void SetColumnFormat(int col, const QString& format); // re-renders the column's cells
    bool ColumnFixedWidth(int col) const;
    void SetColumnFixedWidth(int col, bool fixed);
    int ColumnIcon(int col) const;
    void SetColumnIcon(int col, int icon);
    // Display position of the column, 1-based (columns can be moved by dragging headers).
    int ColumnOrder(int col) const;
    void SetColumnOrder(int col, int position);
    // Column index shown at a display position, 0 when none.
    int ColumnAtPosition(int position) const;

    // Whether the column header row is shown.
    bool Header() const;
    void SetHeader(bool shown);

    // ---- Rows ---------------------------------------------------------------------------
    // Inserts a row before insertBefore (-1 or past the end = append) and returns its index.
    // height -1 = default row height.
    int AddRow(int insertBefore = -1, const QVariant& key = QVariant(), bool visible = true, int height = -1);
    void RemoveRow(int row);
    int Rows() const;
    void SetRows(int count);                             // adds empty rows or drops the last ones
    QVariant RowKey(int row) const;
    void SetRowKey(int row, const QVariant& key);        // the key moves with its row when sorted
    // A row is as high as it is given, or as its text needs where that is higher: it holds the
    // whole height of the faces its cells show (the grid's and the cells' own), and the grid
    // line under them, whatever face the grid takes later.
    int RowHeight(int row) const;                        // pixels, as shown
    void SetRowHeight(int row, int pixels);
    int RowTextHeight(int row) const;                    // pixels the row's text needs
    double RowHeightTwips(int row) const;
    bool RowVisible(int row) const;
    void SetRowVisible(int row, bool visible);
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int pixels);

    // Clear(): the rows go, the columns stay. Clear(true): rows and columns go.
    void Clear(bool columnsToo = false);

    // ---- Cells ------------------------------------------------------------------------
    // Stores a value and its whole look: what is not given is reset, so a cell set again
    // without colours or font takes the grid's. The row is created when it is beyond the last
    // one; a column beyond the last is refused (nothing happens). textFlags: GridTextFlags.
    // backColor/foreColor: colour values; -1 = none of its own.
    // font: nullptr = the grid font; otherwise the grid keeps its own copy.
    void SetCell(int row, int col, const QVariant& value, int textFlags = DtDefaultCell, int icon = -1,
                 int32_t backColor = GridNoColor, int32_t foreColor = GridNoColor,
                 const QFont* font = nullptr);

    // The stored value (empty QVariant for a cell never set).
    QVariant CellText(int row, int col) const;
    void SetCellText(int row, int col, const QVariant& value);
    QVariant CellValue(int row, int col) const { return CellText(row, col); }
    void SetCellValue(int row, int col, const QVariant& value) { SetCellText(row, col, value); }
    // The text as shown: numbers through the column's format (or their plain text).
    QString CellFormattedText(int row, int col) const;

    int CellTextFlags(int row, int col) const;
    void SetCellTextFlags(int row, int col, int textFlags);
    Qt::Alignment CellAlignment(int row, int col) const; // from the text flags

    int32_t CellForeColor(int row, int col) const;       // -1 when the cell has none
    void SetCellForeColor(int row, int col, int32_t color);
    int32_t CellBackColor(int row, int col) const;       // -1 when the cell has none
    void SetCellBackColor(int row, int col, int32_t color);
    // The colours the cell is drawn with (its own, else the grid's).
    QColor CellForeQColor(int row, int col) const;
    QColor CellBackQColor(int row, int col) const;       // invalid when the picture shows

    QFont CellFont(int row, int col) const;              // its own copy, else the grid font
    void SetCellFont(int row, int col, const QFont& font);
    bool CellHasFont(int row, int col) const;

    int CellIcon(int row, int col) const;                // -1 when none
    void SetCellIcon(int row, int col, int icon);

    // The cell's rectangle in the grid's own pixel coordinates (header and scrolling taken
    // into account; relative to the Grid widget's top-left). Empty for a hidden or unknown cell.
    QRect CellBoundary(int row, int col) const;

    // ---- Grid-wide look ---------------------------------------------------------------
    int32_t BackColor() const;                            // default: system colour window background
    void SetBackColor(int32_t color);
    int32_t ForeColor() const;                            // default: system colour window text
    void SetForeColor(int32_t color);
    // The colours the grid's own background (beyond its cells, behind a cell of no colour of
    // its own) and its own text are drawn in. A system colour is the light desktop's, as the
    // rows' own colours are, also on a dark desktop.
    QColor BackQColor() const;
    QColor ForeQColor() const;
    // Picture drawn (tiled) behind cells without a back colour of their own.
    // The colour the cells given GridThemeBack show; setting it repaints them.
    int32_t ThemeBackColor() const { return themeBack_; }
    void SetThemeBackColor(int32_t color);
    void SetBackgroundPicture(const QPixmap& picture);
    bool SetBackgroundPictureFile(const QString& path);   // false (nothing changed) when unreadable
    QPixmap BackgroundPicture() const;
    void ClearBackgroundPicture();
    // Icons for cells and headers, by 0-based index.
    void SetImageList(const QList<QIcon>& icons);
    QList<QIcon> ImageList() const;

    // ---- Drawing ------------------------------------------------------------------------
    // Redraw false stops painting while many cells change; true paints once again.
    bool Redraw() const;
    void SetRedraw(bool on);
    // Lays the grid out again and repaints (after widths change or a hidden chart goes).
    void Refresh();

    // ---- Sorting ----------------------------------------------------------------------
    GridSortObject& SortObject() { return sort_; }
    const GridSortObject& SortObject() const { return sort_; }
    // Reorders whole rows (values, looks, heights, visibility) by the sort keys.
    void Sort();

    // ---- Selection and editing -------------------------------------------------------
    int SelectedRow() const;                              // 0 when none
    int SelectedCol() const;
    void SetSelectedRow(int row);
    void SetSelectedCol(int col);
    void SetSelection(int row, int col);
    bool Editable() const { return editable_; }
    void SetEditable(bool on) { editable_ = on; }
    bool InEdit() const { return inEdit_; }
    int EditRow() const { return editRow_; }
    int EditCol() const { return editCol_; }
    void EndEdit();                                       // the edit is over, keep the value
    void CancelEdit();                                    // the edit is over, drop it
    // Starts an edit on a cell as a key or double click would (raises RequestEdit).
    bool StartEdit(int row, int col, int keyAscii = 0);

signals:
    void ColumnClick(int col);
    // The current cell changed; after a key or a click, once the grid has moved and highlighted it.
    void SelectionChange(int row, int col);
    void CellClick(int row, int col);                     // a cell chosen with the mouse
    void DblClick(int row, int col);
    void MouseDown(int button, int shift, int x, int y);  // button 1 left, 2 right, 4 middle
    // keyAscii: the character that started the edit, 0 for a double click or F2.
    // A slot that sets cancel to true refuses the edit.
    void RequestEdit(int row, int col, int keyAscii, bool& cancel);
    void EditEnded(bool cancelled);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    struct ColumnInfo {
        QString key;
        QString format;
        int width = 64;                 // pixels, kept while the column is hidden
        int align = HdrAlignLeft;
        int icon = -1;
        bool fixedWidth = false;
        bool includeInSelect = true;
    };
    bool ValidCell(int row, int col) const;
    QSize RoomForCells() const;                          // with no scroll bars
    bool ValidColumn(int col) const { return col >= 1 && col <= Cols(); }
    bool ValidRow(int row) const { return row >= 1 && row <= Rows(); }
    QTableWidgetItem* Item(int row, int col) const;
    // A cell's item for a change (the row is created when needed): its own, or (fresh) a new
    // one not yet placed, so that a new cell is given its whole look before the grid hears of
    // it, once. FinishChange renders it when asked and places a fresh one.
    QTableWidgetItem* ItemToChange(int row, int col, bool* fresh);
    void FinishChange(QTableWidgetItem* it, int row, int col, bool fresh, bool render);
    void RenderCell(QTableWidgetItem* item, int col) const;
    void ApplyHeader(int col);
    void ApplyGridColors();
    QString DisplayText(const QVariant& value, const QString& format) const;
    int CompareCells(int rowA, int rowB, const GridSortObject::Key& key) const;

    std::vector<ColumnInfo> columns_;
    GridSortObject sort_;
    QList<QIcon> icons_;
    QPixmap picture_;
    int32_t backColor_;
    int32_t foreColor_;
    int32_t themeBack_ = 0xFFFFFF;
    // A stored cell colour as it shows: GridThemeBack stands for the theme's colour.
    int32_t Shown(int32_t color) const { return color == GridThemeBack ? themeBack_ : color; }
    QColor Shade(int32_t color) const;                   // a colour value as the grid draws it
    bool shadedDark_ = false;                            // the desktop was dark when last shaded
    // Gives the row (0-based) the height asked for, or the height its text needs.
    void ResizeRow(int row, int pixels);
    void ResizeColumn(int col, int pixels);
    int AskedRowHeight(int row) const;                   // 1-based, as last given
    void HoldRowTexts();                                 // every row again, after a face changed

    bool redraw_ = true;
    bool geometryPending_ = false;
    bool editable_ = false;
    bool inEdit_ = false;
    int editRow_ = 0;
    int editCol_ = 0;
    bool quietSelection_ = false;       // no SelectionChange while rows are rearranged
    // A key or a click moves the current cell and then highlights where it moved; SelectionChange
    // waits until both are done, so that a view that moves the current cell on from there
    // moves the highlight with it.
    class SettledMove;
    int moving_ = 0;
    bool movedWhileMoving_ = false;
};

} // namespace vexal
