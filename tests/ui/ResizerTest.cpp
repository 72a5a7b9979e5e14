// The form resizer's rule kinds on real widgets. One twip per pixel here, so the rules'
// arithmetic shows unrounded.
#include "Screen.h"
#include "cResizer.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vexal;

namespace {

class ResizerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScreenMetrics m;
        m.twipsPerPixelX = 1;
        m.twipsPerPixelY = 1;
        Screen::SetMetrics(m);
    }
    void TearDown() override { Screen::ResetMetrics(); }

    static QWidget* Control(QWidget* window, const char* name, QRect r, double points = 10)
    {
        auto* w = new QPushButton(window);
        w->setObjectName(name);
        w->setGeometry(r);
        QFont f = w->font();
        f.setPointSizeF(points);
        w->setFont(f);
        return w;
    }
};

TEST_F(ResizerTest, EqualWidthsShareTheReference)
{
    QWidget window;
    window.resize(3700, 400);
    QWidget* a = Control(&window, "a", {0, 0, 10, 10});
    QWidget* b = Control(&window, "b", {0, 0, 10, 10});
    QWidget* c = Control(&window, "c", {0, 0, 10, 10});
    cResizer resizer;
    resizer.AddRule(cResizer::EqualWidths, &window, 100, {a, b, c});
    resizer.ResizePass();
    // 3700/3 - 400/3 = 1100 each, 100 apart and from the edge.
    EXPECT_EQ(a->width(), 1100);
    EXPECT_EQ(b->width(), 1100);
    EXPECT_EQ(a->x(), 100);
    EXPECT_EQ(b->x(), 1300);
    EXPECT_EQ(c->x(), 2500);

    // The same one below the other.
    resizer.AddRule(cResizer::EqualHeights, &window, 10, {a, b});
    resizer.ResizePass();
    EXPECT_EQ(a->height(), 400 / 2 - 30 / 2);
    EXPECT_EQ(a->y(), 10);
    EXPECT_EQ(b->y(), 10 + 10 + 185);
}

TEST_F(ResizerTest, RowWhoseFirstControlTakesTheRest)
{
    QWidget window;
    window.resize(4000, 300);
    QWidget* first = Control(&window, "first", {0, 0, 10, 20});
    QWidget* second = Control(&window, "second", {0, 0, 500, 20});
    QWidget* third = Control(&window, "third", {0, 0, 300, 20});
    cResizer resizer;
    resizer.AddRule(cResizer::RowFirstTakesRest, &window, 50, {first, second, third});
    resizer.ResizePass();
    EXPECT_EQ(first->width(), 3000);
    EXPECT_EQ(first->x(), 50);
    EXPECT_EQ(second->x(), 3100);
    EXPECT_EQ(third->x(), 3650);
    EXPECT_EQ(second->width(), 500);

    // Column form: heights 100 and 60 below the first, gap 10, reference height 300.
    QWidget* top = Control(&window, "top", {0, 0, 20, 5});
    QWidget* mid = Control(&window, "mid", {0, 0, 20, 100});
    QWidget* low = Control(&window, "low", {0, 0, 20, 60});
    cResizer column;
    column.AddRule(cResizer::ColumnFirstTakesRest, &window, 10, {top, mid, low});
    column.ResizePass();
    EXPECT_EQ(top->height(), 300 - (110 + 70) - 20);
    EXPECT_EQ(top->y(), 10);
    EXPECT_EQ(mid->y(), 100 + 10 + 10);
    EXPECT_EQ(low->y(), mid->y() + 110);
}

TEST_F(ResizerTest, EdgeRulesMeasureWindowsFromInsideAndControlsByTheirRectangle)
{
    QWidget window;
    window.resize(1000, 800);
    QWidget* ref = Control(&window, "ref", {100, 50, 300, 200});
    QWidget* c = Control(&window, "c", {120, 70, 40, 30});
    cResizer resizer;
    resizer.AddRule(cResizer::FullWidthMargin, &window, 20, {c});
    resizer.ResizePass();
    EXPECT_EQ(c->x(), 20);
    EXPECT_EQ(c->width(), 960);

    auto run = [&](int32_t kind, QObject* reference, int32_t value) {
        cResizer r;
        r.AddRule(kind, reference, value, {c});
        r.ResizePass();
    };
    c->setGeometry(120, 70, 40, 30);
    run(cResizer::RightMargin, ref, 10); // right edge 10 inside ref's right (400)
    EXPECT_EQ(c->width(), 400 - 120 - 10);
    run(cResizer::BottomMargin, &window, 5);
    EXPECT_EQ(c->height(), 800 - 70 - 5);
    run(cResizer::FullHeight, ref, 0);
    EXPECT_EQ(c->height(), 200);
    run(cResizer::FullWidth, ref, 0);
    EXPECT_EQ(c->width(), 300);
    run(cResizer::TopOffset, ref, 7);
    EXPECT_EQ(c->y(), 57);
    c->resize(40, 30);
    run(cResizer::AlignRight, &window, 15);
    EXPECT_EQ(c->x(), 1000 - 40 - 15);
    run(cResizer::RightOf, ref, 6);
    EXPECT_EQ(c->x(), 406);
    run(cResizer::LeftOffset, ref, 6);
    EXPECT_EQ(c->x(), 106);
    run(99, ref, 6); // unknown kinds do nothing
    EXPECT_EQ(c->x(), 106);

    cResizer fixed;
    fixed.AddMaxHeight(33, {c});
    fixed.AddMaxWidth(44, {c});
    c->resize(10, 10);
    fixed.ResizePass();
    EXPECT_EQ(c->height(), 33) << "a fixed height, not an upper bound";
    EXPECT_EQ(c->width(), 44);

    // A margin wider than the window asks for a negative width: refused, the rest goes on.
    c->setGeometry(5, 5, 40, 30);
    cResizer tooWide;
    tooWide.AddRule(cResizer::FullWidthMargin, &window, 600, {c});
    tooWide.AddRule(cResizer::TopOffset, &window, 9, {c});
    tooWide.ResizePass();
    EXPECT_EQ(c->x(), 600);
    EXPECT_EQ(c->width(), 40);
    EXPECT_EQ(c->y(), 9);
}

TEST_F(ResizerTest, ProportionalFontsAndEdgeRulesInListOrder)
{
    QWidget window;
    window.resize(600, 400);
    QWidget* a = Control(&window, "a", {60, 40, 120, 30}, 10);
    QWidget* b = Control(&window, "b", {300, 200, 100, 50}, 8);
    QWidget* c = Control(&window, "c", {10, 350, 80, 20}, 9);
    cResizer resizer;
    int before = 0, after = 0;
    QObject::connect(&resizer, &cResizer::BeforeResizing, [&](bool& flag) {
        EXPECT_FALSE(flag);
        ++before;
    });
    QObject::connect(&resizer, &cResizer::AfterResizing, [&] { ++after; });
    resizer.AddPropotional(&window, {a, b});
    resizer.AddFontResizing(&window, {a, b});
    resizer.AddRule(cResizer::FixedHeight, &resizer, 25, {b});
    resizer.AddRule(cResizer::AlignRight, &window, 10, {c});
    EXPECT_EQ(before, 1);
    ASSERT_EQ(resizer.RuleCount(), 4);
    EXPECT_EQ(resizer.RuleKind(0), cResizer::FontResizing);
    EXPECT_EQ(resizer.RuleKind(1), cResizer::Proportional);
    EXPECT_EQ(resizer.DesignWidth(), 600);
    EXPECT_EQ(resizer.DesignHeight(), 400);

    window.resize(1200, 800);
    resizer.ResizePass();
    EXPECT_EQ(a->geometry(), QRect(120, 80, 240, 60));
    EXPECT_EQ(b->x(), 600);
    EXPECT_EQ(b->width(), 200);
    EXPECT_EQ(b->height(), 25) << "the later rule overrides the proportional height";
    EXPECT_DOUBLE_EQ(a->font().pointSizeF(), 15.0) << "capped at 1.5";
    EXPECT_DOUBLE_EQ(b->font().pointSizeF(), 12.0);
    EXPECT_EQ(c->x(), 1200 - 80 - 10);

    // Smaller than designed: the fonts stay at their design sizes.
    window.resize(300, 500);
    resizer.ResizePass();
    EXPECT_DOUBLE_EQ(a->font().pointSizeF(), 10.0);
    EXPECT_EQ(a->geometry(), QRect(30, 50, 60, 38));
    // A moderate growth scales by the smaller factor.
    window.resize(660, 480);
    resizer.ResizePass();
    EXPECT_NEAR(a->font().pointSizeF(), 11.0, 1e-4);
    EXPECT_EQ(before, 1) << "raised once, never on a resize";
    EXPECT_EQ(after, 3);
}

// A view's body sits under its menu bar in the view's layout, which runs only when the view
// is first shown: the rules are registered before that, and must still take the body's real
// design size, not the placeholder size of a child widget nobody has laid out yet.
TEST_F(ResizerTest, ABodyInAPendingLayoutScalesFromTheSizeItIsShownAt)
{
    QWidget view;
    auto* layout = new QVBoxLayout(&view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* menu = new QWidget(&view);
    menu->setFixedHeight(20);
    layout->addWidget(menu);
    auto* body = new QWidget(&view);
    layout->addWidget(body);
    QWidget* a = Control(body, "a", {60, 40, 120, 30});
    QWidget* b = Control(body, "b", {500, 300, 80, 60});
    view.resize(600, 420);

    cResizer resizer;
    resizer.AddPropotional(body);
    resizer.AddRule(cResizer::EqualWidths, body, 10, {a});
    resizer.TargetForm(body);
    EXPECT_EQ(resizer.DesignWidth(), 600);
    EXPECT_EQ(resizer.DesignHeight(), 400);

    view.show();
    QApplication::processEvents();
    EXPECT_EQ(body->geometry(), QRect(0, 20, 600, 400));
    EXPECT_EQ(a->geometry(), QRect(10, 40, 580, 30)) << "at the design size nothing moves but the edge rule";
    EXPECT_EQ(b->geometry(), QRect(500, 300, 80, 60));

    view.resize(1200, 820);
    QApplication::processEvents();
    EXPECT_EQ(a->geometry(), QRect(10, 80, 1180, 60));
    EXPECT_EQ(b->geometry(), QRect(1000, 600, 160, 120)) << "still inside the body";
}

TEST_F(ResizerTest, TargetFormRunsAPassOnEveryResize)
{
    QWidget window;
    window.resize(300, 200);
    QWidget* c = Control(&window, "c", {0, 0, 10, 10});
    cResizer resizer;
    int after = 0;
    QObject::connect(&resizer, &cResizer::AfterResizing, [&] { ++after; });
    resizer.AddRule(cResizer::FullWidth, &window, 0, {c});
    window.show();
    EXPECT_EQ(after, 0) << "nothing happens before TargetForm";
    resizer.TargetForm(&window);
    EXPECT_EQ(after, 0) << "nor at the call itself";
    window.resize(320, 200);
    QApplication::processEvents();
    EXPECT_GE(after, 1);
    EXPECT_EQ(c->width(), 320);

    // A resizer without rules still reports each pass.
    cResizer empty;
    int emptyAfter = 0;
    QObject::connect(&empty, &cResizer::AfterResizing, [&] { ++emptyAfter; });
    empty.ResizePass();
    EXPECT_EQ(emptyAfter, 1);
}

TEST_F(ResizerTest, KeepFormProportionalHoldsTheRatioWithoutLooping)
{
    QWidget window;
    window.resize(600, 450);
    cResizer resizer;
    int after = 0;
    QObject::connect(&resizer, &cResizer::AfterResizing, [&] { ++after; });
    resizer.KeepFormProportional(&window);
    resizer.TargetForm(&window);
    window.show();
    QApplication::processEvents();
    window.resize(800, 450);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QRect outer = window.frameGeometry();
    EXPECT_EQ(outer.height(), outer.width() * 3 / 4);
    EXPECT_LT(after, 6) << "the height change must not start an endless series of passes";

    // A window measured with no width has no ratio to keep: its height is left alone.
    QWidget flat;
    flat.resize(0, 200);
    cResizer none;
    none.KeepFormProportional(&flat);
    flat.resize(300, 200);
    none.ResizePass();
    EXPECT_EQ(flat.height(), 200);
}

TEST_F(ResizerTest, CaptionsFromTags)
{
    QWidget window;
    window.resize(800, 600);
    QWidget* a = Control(&window, "a", {300, 100, 100, 40});
    QWidget* b = Control(&window, "b", {300, 200, 100, 40});
    QWidget* c = Control(&window, "c", {300, 300, 100, 40});
    a->setProperty("Tag", "Away");
    c->setProperty("Tag", "Home");
    cResizer resizer;
    int before = 0;
    QObject::connect(&resizer, &cResizer::BeforeResizing, [&](bool&) { ++before; });
    resizer.AddCaptions(&window, nullptr, 70, 2, {a, b, c});
    EXPECT_EQ(before, 0) << "captions register no rule";
    auto* first = window.findChild<QLabel*>("ctlLabel1");
    auto* second = window.findChild<QLabel*>("ctlLabel2");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr) << "b has no Tag and takes no number";
    EXPECT_EQ(window.findChild<QLabel*>("ctlLabel3"), nullptr);
    EXPECT_EQ(first->text(), " Away");
    EXPECT_EQ(second->text(), " Home");
    EXPECT_EQ(first->x() + first->width(), 300 - 70);
    EXPECT_NEAR(first->y() + first->height() / 2.0, 120, 1.0);
    EXPECT_NEAR(second->y() + second->height() / 2.0, 320, 1.0);
    EXPECT_FALSE(first->isHidden());

    // Above: centred over the control, the distance above it. Numbers go on.
    resizer.AddCaptions(&window, nullptr, 5, 0, {a});
    auto* above = window.findChild<QLabel*>("ctlLabel3");
    ASSERT_NE(above, nullptr);
    EXPECT_EQ(above->y() + above->height(), 100 - 5);
    EXPECT_NEAR(above->x() + above->width() / 2.0, 350, 1.0);
}

TEST_F(ResizerTest, AllControlsAreTheWindowsNamedWidgets)
{
    QWidget window;
    QWidget* a = Control(&window, "a", {0, 0, 10, 10});
    new QWidget(&window); // unnamed: not a control
    QWidget* b = Control(&window, "b", {0, 0, 10, 10});
    const QList<QWidget*> all = cResizer::WindowControls(&window);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0], a);
    EXPECT_EQ(all[1], b);
}

} // namespace
