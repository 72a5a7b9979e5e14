// Every window of the program, in every colour theme it offers, at the main window's size, on
// a light and on a dark desktop: each caption, label, check box, frame title, tab, menu bar
// item, grid heading or cell and each line of a document shows its whole text and is readable
// on what is drawn behind it, a grid's rows are readable on what lies beyond its cells, and no
// enabled caption is drawn in the grey of a disabled one.
// With VEXAL_WINDOW_SHOTS naming a folder, every rendered window is saved there as a PNG
// (to look at by hand, for instance under a real X server).
#include "AppState.h"
#include "Grid.h"
#include "Host.h"
#include "ProgramTestSupport.h"
#include "Main.h"
#include "PopupMenu.h"
#include "PredictWindow.h"
#include "ProgBar.h"
#include "StatsWindow.h"
#include "ReadableText.h"
#include "SampleSeasons.h"
#include "Screen.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "Splash.h"
#include "TempFolder.h"
#include "TextsShownWhole.h"
#include "Teams.h"
#include "Theme.h"
#include "VbConvert.h"
#include "VexalApp.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolBar>

#include <QStyle>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <tuple>

namespace vexal::test {
namespace {

// A theme as the user gets it: restored at start-up from the stored name, or picked from
// the theme menu, which then takes the team's own colours (or the product's pair).
struct ThemeCase {
    std::string label;
    std::string name;      // stored Settings/"Theme"
    bool picked = false;
    int32_t fore = 0;      // the menu's colours when picked
    int32_t back = 0;
    bool dark = false;     // on a dark desktop
};

std::vector<ThemeCase> OfferedThemes()
{
    std::vector<ThemeCase> themes{{"vexal", "Vexal", false, 0, 0},
                                  {"vexal picked", "Vexal", true, 0x800000, 0xC0C000},
                                  {"none", "", true, 0x800000, 0xFFFFC0}};
    for (int code = 1; code <= 32; ++code) {
        if (TeamLogoPath(code).empty())
            continue;
        const AppState& app = App();
        themes.push_back({app.TeamAbbrev, app.TeamAbbrev, false, 0, 0});
        themes.push_back({app.TeamAbbrev + " picked", app.TeamAbbrev, true, app.TeamColor1, app.TeamColor2});
    }
    // One case per pair of colours the windows are painted with.
    std::set<std::tuple<bool, int32_t, int32_t>> seen;
    std::vector<ThemeCase> distinct;
    for (const ThemeCase& t : themes) {
        const ThemeColors table = ThemeColorsFor(vb::LCase(t.name));
        const int32_t fore = t.picked ? t.fore : table.fore, back = t.picked ? t.back : table.back;
        if (seen.insert({t.name.empty(), fore, back}).second)
            distinct.push_back(t);
    }
    // Each of them on a dark desktop too.
    const std::size_t light = distinct.size();
    for (std::size_t i = 0; i < light; ++i) {
        ThemeCase dark = distinct[i];
        dark.label += " dark";
        dark.dark = true;
        distinct.push_back(dark);
    }
    return distinct;
}

// The palette a dark desktop gives the program (as Adwaita's dark theme does): dark faces and
// boxes, white text, its tool tips dark too.
QPalette DarkDesktopPalette()
{
    QPalette p(QColor(0x35, 0x35, 0x35));
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::ToolTipBase})
        p.setColor(role, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    p.setColor(QPalette::AlternateBase, QColor(0x2B, 0x2B, 0x2B));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText,
                                     QPalette::HighlightedText, QPalette::BrightText})
        p.setColor(role, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x82, 0x82, 0x82));
    p.setColor(QPalette::Highlight, QColor(0x30, 0x8C, 0xC6));
    p.setColor(QPalette::PlaceholderText, QColor(0xA0, 0xA0, 0xA0));
    return p;
}

void UseTheme(const ThemeCase& theme)
{
    AppState& app = App();
    SaveSetting("Settings", "Theme", theme.name);
    app.ThemeName = theme.name;
    ApplyTheme(app.ThemeName);
    if (theme.picked) {
        app.ThemeForeColor = theme.fore;
        app.ThemeBackColor = theme.back;
    }
    UpDateBackground("");
    Pump();
}

// How each window is opened: a view or the formula editor from its toolbar button, the
// other windows as the program shows them (the modal ones without their own event loop).
struct WindowCase {
    const char* window;
    const char* toolbar;   // nullptr: shown directly
    int button;
};
const WindowCase Windows[] = {
    {"FORM1", "cToolbar1", 0},    {"lines", "cToolbar1", 2},    {"PREDICT", "cToolbar1", 4},
    {"FORM6", "cToolbar1", 6},    {"frmTest", "cToolbar1", 8},  {"Power", "cToolbar1", 10},
    {"frmFormula", "cToolbar1", 12}, {"FORM2", "cToolbar2", 2}, {"INJURIES", "cToolbar2", 4},
    {"Singleg", nullptr, 0},      {"frmDownload", nullptr, 0},  {"frmRichEdit", nullptr, 0},
    {"opening", nullptr, 0},      {"Main", nullptr, 0},
};

// Theme and control where the gradient behind one caption runs through a middle tone on
// which neither black nor white text keeps the full contrast over the caption's height:
// the caption stays at 4.4 or better there.
const std::set<std::string> KnownMiddleTones = {
    "MIA frmFormula/chkExcludeBestWorst \"Exclude Good/Bad\"",
};

QWidget* OpenWindow(const WindowCase& c)
{
    Main* main = TheMain();
    if (c.toolbar) {
        main->findChild<QToolBar*>(c.toolbar)->actions().at(c.button)->trigger();
        WaitFor([] { return !IsBusy(); });
    } else if (std::string(c.window) == "opening") {
        ShowSplashAsAbout();
    } else if (std::string(c.window) != "Main") {
        QWidget* w = LoadWindow(c.window);
        w->show();
        UpDateBackground("");
    }
    Pump();
    return FindWindow(c.window);
}

// What a user sees of one text: the most common colour of each pixel row of its area is
// the background there; the text's strongest pixel against it gives the contrast.
struct Seen {
    double ratio = 1.0;
    QColor text;
    QColor background;
};

Seen BestContrast(const QImage& shot, const QRect& area)
{
    const QRect r = area.intersected(shot.rect());
    Seen best;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QHash<QRgb, int> counts;
        for (int x = r.left(); x <= r.right(); ++x)
            ++counts[shot.pixel(x, y)];
        QRgb background = 0;
        int most = -1;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > most) {
                most = it.value();
                background = it.key();
            }
        for (int x = r.left(); x <= r.right(); ++x) {
            const double ratio = ContrastRatio(QColor(shot.pixel(x, y)), QColor(background));
            if (ratio > best.ratio)
                best = {ratio, QColor(shot.pixel(x, y)), QColor(background)};
        }
    }
    return best;
}

// Smoothed strokes seldom reach the full text colour: when the strongest pixel is close
// to one of the colours the text is drawn in, that colour is what was drawn.
double DrawnContrast(const Seen& seen, const std::vector<QColor>& drawnIn)
{
    double ratio = seen.ratio;
    for (const QColor& c : drawnIn) {
        const int distance = std::max({std::abs(c.red() - seen.text.red()), std::abs(c.green() - seen.text.green()),
                                       std::abs(c.blue() - seen.text.blue())});
        if (distance <= 64)
            ratio = std::max(ratio, ContrastRatio(c, seen.background));
    }
    return ratio;
}

double DrawnContrast(const Seen& seen, const QPalette& palette)
{
    return DrawnContrast(seen, {palette.color(QPalette::WindowText), palette.color(QPalette::ButtonText),
                                palette.color(QPalette::Text)});
}

// The colour that most pixels of an area have.
QColor MostCommonColor(const QImage& shot, const QRect& area)
{
    QHash<QRgb, int> counts;
    const QRect r = area.intersected(shot.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ++counts[shot.pixel(x, y)];
    QRgb most = 0;
    int count = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > count) {
            count = it.value();
            most = it.key();
        }
    return QColor(most);
}

struct Finding {
    std::string control;
    std::string problem;
};

class Inspector {
public:
    Inspector(QWidget* window, const QImage& shot) : window_(window), shot_(shot) {}

    void Check(const ThemeCase& theme, const std::string& windowName)
    {
        for (QWidget* w : window_->findChildren<QWidget*>()) {
            if (w->window() != window_ || !w->isVisibleTo(window_) || w->width() <= 0 || w->height() <= 0)
                continue;
            // A document shows in its view, which covers the whole box.
            if (auto* edit = qobject_cast<QTextEdit*>(w)) {
                if (Showing(edit->viewport()))
                    CheckDocument(edit);
                continue;
            }
            if (!Showing(w))
                continue;
            if (auto* grid = qobject_cast<Grid*>(w))
                CheckGrid(grid);
            else if (auto* label = qobject_cast<QLabel*>(w))
                CheckLabel(label);
            else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
                CheckOption(static_cast<QAbstractButton*>(w));
            else if (auto* button = qobject_cast<QPushButton*>(w))
                CheckButton(button);
            else if (auto* box = qobject_cast<QGroupBox*>(w))
                CheckFrame(box);
            else if (auto* tabs = qobject_cast<QTabBar*>(w))
                CheckTabs(tabs);
            else if (auto* bar = qobject_cast<QMenuBar*>(w))
                CheckMenuBar(bar);
        }
        // Whole texts, by the check the layout test makes at every size.
        for (const TextFault& f : TextsNotShownWhole(window_))
            findings_.push_back({f.control, f.problem});
        for (const Finding& f : findings_) {
            const std::string where = windowName + "/" + f.control;
            // The gradient is the theme's on either desktop.
            const std::string themeLabel = theme.dark ? theme.label.substr(0, theme.label.size() - 5) : theme.label;
            if (f.problem.rfind("contrast 4.4", 0) == 0 && KnownMiddleTones.count(themeLabel + " " + where))
                continue;
            ADD_FAILURE() << "theme " << theme.label << ", " << where << ": " << f.problem;
        }
    }

private:
    static std::string Name(const QWidget* w, const QString& text)
    {
        const QString name = w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName();
        return (name + " \"" + text + "\"").toStdString();
    }

    // Inside the window's visible part, not scrolled or clipped away.
    bool Showing(const QWidget* w) const
    {
        const QRect visible = w->visibleRegion().boundingRect();
        return !visible.isEmpty();
    }

    QRect InShot(const QWidget* w, const QRect& r) const
    {
        return QRect(w->mapTo(window_, r.topLeft()), r.size());
    }

    // A disabled control is not asked to be readable; it says it cannot be used.
    void Readable(const QWidget* w, const QString& text, const QRect& area)
    {
        if (!w->isEnabled())
            return;
        const QRect visible = area.intersected(w->visibleRegion().boundingRect());
        if (visible.height() < 4)
            return;
        const Seen seen = BestContrast(shot_, InShot(w, visible));
        const double ratio = DrawnContrast(seen, w->palette());
        if (ratio < ReadableContrast)
            findings_.push_back({Name(w, text), "contrast " + QString::number(ratio, 'f', 6).toStdString() + " under 4.5 (text " +
                                                     w->palette().color(QPalette::WindowText).name().toStdString() +
                                                     ", drawn " + seen.text.name().toStdString() + " on " +
                                                     seen.background.name().toStdString() + ")"});
    }

    // An enabled caption drawn in a plain mid grey reads as a disabled one.
    void NotGreyedOut(const QWidget* w, const QString& text)
    {
        if (!w->isEnabled())
            return;
        const QColor c = w->palette().color(w->foregroundRole());
        const int high = std::max({c.red(), c.green(), c.blue()}), low = std::min({c.red(), c.green(), c.blue()});
        if (high - low < 24 && low >= 64 && high <= 200)
            findings_.push_back({Name(w, text), "looks disabled: drawn in grey " + c.name().toStdString()});
    }

    void CheckLabel(QLabel* label)
    {
        if (label->text().isEmpty() || label->pixmap().cacheKey() != QPixmap().cacheKey() ||
            Qt::mightBeRichText(label->text()))
            return;
        const QString text = label->buddy() ? ShownText(label->text()) : label->text();
        const QRect room = label->contentsRect();
        const QFontMetrics fm(label->font());
        const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed = fm.boundingRect(label->wordWrap() ? room : QRect(), flags, text);
        NotGreyedOut(label, text);
        Readable(label, text, QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                                  needed.size().boundedTo(room.size()), room));
    }

    void CheckOption(QAbstractButton* button)
    {
        if (button->text().isEmpty())
            return;
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        const bool check = qobject_cast<QCheckBox*>(button) != nullptr;
        const QRect contents = button->style()->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, button);
        const QString text = ShownText(button->text());
        NotGreyedOut(button, text);
        Readable(button, text, contents);
    }

    void CheckButton(QPushButton* button)
    {
        if (button->text().isEmpty())
            return;
        const QString text = ShownText(button->text());
        Readable(button, text, button->rect().adjusted(3, 3, -3, -3));
    }

    void CheckFrame(QGroupBox* box)
    {
        if (box->title().isEmpty())
            return;
        const QString text = ShownText(box->title());
        const QFontMetrics fm(box->font());
        const int needed = fm.horizontalAdvance(text);
        NotGreyedOut(box, text);
        Readable(box, text, QRect(0, 0, std::min(box->width(), needed + 16), fm.height()));
    }

    void CheckTabs(QTabBar* tabs)
    {
        for (int i = 0; i < tabs->count(); ++i) {
            const QString text = ShownText(tabs->tabText(i));
            const QRect r = tabs->tabRect(i);
            Readable(tabs, text, r.adjusted(3, 3, -3, -2));
        }
    }

    void CheckMenuBar(QMenuBar* bar)
    {
        for (QAction* a : bar->actions()) {
            if (!a->isVisible() || a->isSeparator() || a->text().isEmpty())
                continue;
            const QString text = ShownText(a->text());
            const QRect r = bar->actionGeometry(a);
            if (r.isValid())
                Readable(bar, text, r.adjusted(2, 2, -2, -2));
        }
    }

    // Each line of a document in view, in the colours its text is drawn in.
    void CheckDocument(QTextEdit* edit)
    {
        const QTextDocument* doc = edit->document();
        const QPoint scrolled(-edit->horizontalScrollBar()->value(), -edit->verticalScrollBar()->value());
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            if (!layout)
                continue;
            const QPointF at = doc->documentLayout()->blockBoundingRect(block).topLeft();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const QString text = block.text().mid(line.textStart(), line.textLength());
                if (text.trimmed().isEmpty())
                    continue;
                const QRect r = line.naturalTextRect().translated(at).toAlignedRect().translated(scrolled);
                const QRect shown = r.intersected(edit->viewport()->rect());
                if (shown.height() < r.height() || shown.width() < 4)
                    continue;
                std::vector<QColor> drawnIn{edit->palette().color(QPalette::Text)};
                for (auto it = block.begin(); !it.atEnd(); ++it)
                    if (it.fragment().charFormat().hasProperty(QTextFormat::ForegroundBrush))
                        drawnIn.push_back(it.fragment().charFormat().foreground().color());
                const Seen seen = BestContrast(shot_, InShot(edit->viewport(), shown));
                const double ratio = DrawnContrast(seen, drawnIn);
                if (ratio < ReadableContrast)
                    findings_.push_back({Name(edit, "line " + text.trimmed().left(40)),
                                         "contrast " + QString::number(ratio, 'f', 6).toStdString() + " under 4.5 (drawn " +
                                             seen.text.name().toStdString() + " on " + seen.background.name().toStdString() + ")"});
            }
        }
    }

    // What lies beyond a grid's cells shows the grid's own background, as an empty cell does:
    // the grid's own text is readable on it, and so is the dark text of a light row beside it
    // (white rows beside a dark block read as a hole in the grid). A row of a dark colour of
    // its own has light text meant for that colour only.
    void CheckEmptyArea(Grid* grid)
    {
        if (!grid->BackgroundPicture().isNull())
            return;
        const QRect view = grid->viewport()->rect();
        int right = 0, bottom = 0;
        for (int c = 1; c <= grid->Cols(); ++c)
            if (grid->ColumnVisible(c))
                right = std::max(right, grid->columnViewportPosition(c - 1) + grid->columnWidth(c - 1));
        for (int r = 1; r <= grid->Rows(); ++r)
            if (grid->RowVisible(r))
                bottom = std::max(bottom, grid->rowViewportPosition(r - 1) + grid->rowHeight(r - 1));
        auto check = [&](const QRect& area, const QColor& text, const QString& what) {
            const QRect empty = area.intersected(view);
            if (empty.width() < 4 || empty.height() < 4)
                return;
            const QColor shows = MostCommonColor(shot_, QRect(grid->viewport()->mapTo(window_, empty.topLeft()), empty.size()));
            if (shows != grid->BackQColor())
                findings_.push_back({Name(grid, what), "the empty area shows " + shows.name().toStdString() +
                                                           ", not the grid's background " + grid->BackQColor().name().toStdString()});
            const double ratio = ContrastRatio(text, shows);
            if (ratio < ReadableContrast)
                findings_.push_back({Name(grid, what), "contrast " + QString::number(ratio, 'f', 6).toStdString() +
                                                           " under 4.5 on the empty area (text " + text.name().toStdString() +
                                                           " on " + shows.name().toStdString() + ")"});
        };
        for (int r = 1; r <= grid->Rows(); ++r) {
            if (!grid->RowVisible(r))
                continue;
            const int top = grid->rowViewportPosition(r - 1);
            for (int c = 1; c <= grid->Cols(); ++c) {
                const QString text = grid->CellFormattedText(r, c);
                if (text.isEmpty() || !grid->ColumnVisible(c))
                    continue;
                const QColor back = grid->CellBackQColor(r, c);
                if (!back.isValid() || RelativeLuminance(back) < 0.5)
                    continue;
                const QVariant drawn = grid->item(r - 1, c - 1)->data(Qt::ForegroundRole);
                const QColor colour = drawn.isValid() ? drawn.value<QBrush>().color() : grid->palette().color(QPalette::Text);
                check(QRect(right + 2, top + 1, view.width(), grid->rowHeight(r - 1) - 2), colour, "beside cell " + text);
            }
        }
        check(QRect(0, bottom + 2, view.width(), view.height()), grid->palette().color(QPalette::Text), "below the rows");
    }

    void CheckGrid(Grid* grid)
    {
        CheckEmptyArea(grid);
        for (int r = 1; r <= grid->Rows(); ++r) {
            if (!grid->RowVisible(r))
                continue;
            for (int c = 1; c <= grid->Cols(); ++c) {
                const QString text = grid->CellFormattedText(r, c);
                if (text.isEmpty() || !grid->ColumnVisible(c) || grid->ColumnWidth(c) <= 0)
                    continue;
                // What the cell shows, where it is in view.
                const QRect cell = grid->visualRect(grid->model()->index(r - 1, c - 1)).adjusted(1, 1, -1, -1);
                const QRect shown = cell.intersected(grid->viewport()->rect());
                if (shown.height() >= cell.height() && shown.width() > 4) {
                    const QRect area(grid->viewport()->mapTo(window_, shown.topLeft()), shown.size());
                    const double ratio = BestContrast(shot_, area).ratio;
                    if (ratio < ReadableContrast)
                        findings_.push_back({Name(grid, "cell " + text), "contrast " + QString::number(ratio, 'f', 6).toStdString() + " under 4.5"});
                }
            }
        }
    }

    QWidget* window_;
    QImage shot_;
    std::vector<Finding> findings_;
};

// The themes are shared out among a few tests that run side by side, each taking every
// fourth of one desktop's: one test over them all is the suite's longest by far. A share on
// the dark desktop starts the program on it, as a user's desktop does.
constexpr int ThemeShares = 4;

class EveryWindow : public WholeProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryWindow, ShowsEveryTextWholeAndReadableInEveryTheme)
{
    const bool dark = GetParam() >= ThemeShares;
    const QPalette desktop = QApplication::palette();
    struct Restore {
        QPalette palette;
        ~Restore() { QApplication::setPalette(palette); }
    } restore{desktop};
    if (dark)
        QApplication::setPalette(DarkDesktopPalette());
    // The shipped formula, as a program folder holds it: its picks are graded.
    ASSERT_TRUE(std::filesystem::copy_file(SourceFile("src/season/default.fla"), program.Path() / "default.fla"));
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();
    Main* main = TheMain();
    ASSERT_NE(main, nullptr);
    // The week before the current one is played: Predictions grades its picks ("Win", "Loss")
    // in colours of their own, which must stay readable on every theme's rows too.
    main->cboWeek()->setCurrentIndex(main->cboWeek()->currentIndex() - 1);
    ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
    Pump();
    const QSize mainSize = main->size();
    App().DocumentPath = program.Path() / "FormulaList.txt";
    { std::ofstream(App().DocumentPath) << "Formulas\r\n"; }

    const char* shots = std::getenv("VEXAL_WINDOW_SHOTS");
    std::vector<ThemeCase> themes;
    for (const ThemeCase& t : OfferedThemes())
        if (t.dark == dark)
            themes.push_back(t);
    ASSERT_GE(themes.size(), 20u);
    for (std::size_t k = static_cast<std::size_t>(GetParam() % ThemeShares); k < themes.size(); k += ThemeShares) {
        const ThemeCase& theme = themes[k];
        UseTheme(theme);
        for (const WindowCase& c : Windows) {
            QWidget* window = OpenWindow(c);
            ASSERT_NE(window, nullptr) << c.window;
            ASSERT_EQ(main->size(), mainSize);
            QWidget* top = window->window();
            const QImage shot = top->grab().toImage();
            if (shots && *shots)
                shot.save(QString("%1/%2-%3.png").arg(shots, QString::fromStdString(theme.label).replace(' ', '_'), c.window));
            Inspector(top, shot).Check(theme, c.window);
            if (std::string(c.window) == "PREDICT") {
                std::set<QString> graded;
                const Grid* grid = window->findChild<Grid*>();
                ASSERT_NE(grid, nullptr);
                for (int r = 1; r <= grid->Rows(); ++r)
                    for (int col = 1; col <= grid->Cols(); ++col)
                        graded.insert(grid->CellFormattedText(r, col));
                EXPECT_TRUE(graded.count("Win") && graded.count("Loss")) << "no graded pick to check";
            }
            if (!c.toolbar && std::string(c.window) != "Main") {
                UnloadWindow(c.window);
                Pump();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Themes, EveryWindow, ::testing::Range(0, 2 * ThemeShares));

// The division headings of Program Colors cannot be chosen and read as headings on a light and
// on a dark desktop: the menu's text colour, not the grey of a disabled entry.
TEST_F(WholeProgramTest, ProgramColorsHeadingsAreReadableOnLightAndDarkDesktops)
{
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    const QPalette light = QApplication::palette();
    PopupMenu& pop = TheMain()->cPop();
    ASSERT_TRUE(pop.Restore("Team List2002"));
    for (bool dark : {false, true}) {
        QApplication::setPalette(dark ? DarkDesktopPalette() : light);
        std::unique_ptr<QMenu> menu = pop.BuildMenu();
        QMenu* afc = menu->actions().front()->menu();
        ASSERT_NE(afc, nullptr);
        afc->popup(QPoint(0, 0));
        const QImage shot = afc->grab().toImage();
        int headings = 0;
        for (QAction* action : afc->actions()) {
            if (action->data().isValid())
                continue;   // a team
            ++headings;
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
            const QRect r = afc->actionGeometry(action);
            const QColor back = shot.pixelColor(r.right() - 2, r.center().y());
            double text = 1;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    text = std::max(text, ContrastRatio(shot.pixelColor(x, y), back));
            EXPECT_GE(text, ReadableContrast) << action->text().toStdString() << (dark ? " dark" : " light");
        }
        EXPECT_EQ(headings, 4);
    }
    QApplication::setPalette(light);
}

// A theme chosen from the menu while a view is open shows at once in everything the view
// draws in the theme's colours: no grid row keeps the old theme's colour, the bar takes the
// new text colour.
TEST_F(WholeProgramTest, AThemeChosenWhileAViewIsOpenShowsInItsGridAtOnce)
{
    ASSERT_TRUE(std::filesystem::copy_file(SourceFile("src/season/default.fla"), program.Path() / "default.fla"));
    SaveSetting("Settings", "Theme", "PIT");
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();
    int choice = 0;
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>&) { return choice; });
    QAction* colors = TheMain()->findChild<QToolBar*>("cToolbar2")->actions().at(8);
    struct ViewCase {
        const char* window;
        int button;   // on the first toolbar
    };
    for (const ViewCase& view : {ViewCase{"FORM1", 0}, ViewCase{"lines", 2}, ViewCase{"PREDICT", 4},
                                 ViewCase{"FORM6", 6}}) {
        SCOPED_TRACE(view.window);
        // Pittsburgh's colours: yellow rows.
        UseTheme({"pit", "PIT", false, 0, 0});
        QWidget* window = OpenWindow({view.window, "cToolbar1", view.button});
        ASSERT_NE(window, nullptr);
        if (std::string(view.window) == "FORM6")
            static_cast<StatsWindow*>(window)->ShowBoxScores(static_cast<int16_t>(App().CurrentFormula[13]), 0, 0);
        Pump();
        Grid* grid = window->findChild<Grid*>();
        ASSERT_NE(grid, nullptr);
        const int32_t before = App().ThemeBackColor;
        std::vector<std::pair<int, int>> themed;
        for (int r = 1; r <= grid->Rows(); ++r)
            for (int c = 1; c <= grid->Cols(); ++c)
                if (grid->CellBackColor(r, c) == before)
                    themed.emplace_back(r, c);
        ASSERT_FALSE(themed.empty()) << "no row in the theme's colour";

        choice = 3;   // "Default"
        colors->trigger();
        Pump();
        ASSERT_EQ(App().ThemeBackColor, 0xC0C000);
        for (const auto& [r, c] : themed)
            ASSERT_EQ(grid->CellBackColor(r, c), 0xC0C000) << "row " << r << ", column " << c;
        for (int r = 1; r <= grid->Rows(); ++r)
            for (int c = 1; c <= grid->Cols(); ++c)
                ASSERT_NE(grid->CellBackColor(r, c), before) << "row " << r << ", column " << c;
        // What the screen shows is the new colour too.
        const QColor shown = grid->CellBackQColor(themed.front().first, themed.front().second);
        EXPECT_EQ(shown, QColor(0x00, 0xC0, 0xC0));
        if (auto* predictions = qobject_cast<PredictWindow*>(window)) {
            EXPECT_EQ(predictions->progBar()->BarColor(), App().ThemeForeColor);
        }
    }
}

} // namespace
} // namespace vexal::test
