#pragma once
// cResizer keeps the controls of one window laid out while the user resizes it. The window
// registers rules in its load handler (each: a kind, a reference object, a value and the
// controls it moves), then hands itself over with TargetForm; every resize of the window then
// applies the rules in list order with painting suspended, and raises AfterResizing.
//
// Units: positions, sizes and the rule values are twips, as the windows' designs give them
// (pixels x Screen::TwipsPerPixelX / Y). A reference object that is the target window (or any
// top-level window) measures from its inside: 0, 0, inner width, inner height; a control
// measures by its own rectangle in its parent.
//
// Controls with no explicit list ("every control of the window") are the window's named
// descendant widgets (objectName set, Qt's own "qt_" parts left out), in creation order.
// AddCaptions reads a control's caption from its dynamic property "Tag".
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace vexal {

class cResizer : public QObject {
    Q_OBJECT
public:
    // Rule kinds.
    enum Kind : int32_t {
        FullWidthMargin = 1,    // Left = v; Width = (R - L) - 2v
        RightMargin = 2,        // Width = R - Left - v
        BottomMargin = 3,       // Height = B - Top - v
        FullHeight = 4,         // Height = B - T
        FullWidth = 5,          // Width = R - L
        TopOffset = 6,          // Top = T + v
        AlignRight = 7,         // Left = R - Width - v
        RightOf = 8,            // Left = R + v
        LeftOffset = 9,         // Left = L + v
        EqualWidths = 10,       // side by side, equal widths, v apart and from the edges
        EqualHeights = 11,      // one below the other, equal heights
        RowFirstTakesRest = 12, // a row: the first control takes the width the others leave
        ColumnFirstTakesRest = 13,
        FixedHeight = 14,       // AddMaxHeight
        FixedWidth = 15,        // AddMaxWidth
        Proportional = 16,      // AddPropotional
        FontResizing = 17,      // AddFontResizing
        KeepProportion = 18,    // KeepFormProportional
    };

    explicit cResizer(QObject* parent = nullptr);
    ~cResizer() override;

    void TargetForm(QWidget* window);
    QWidget* Target() const { return target_; }

    void AddRule(int32_t kind, QObject* reference, int32_t value, const QList<QWidget*>& controls);
    void AddMaxHeight(int32_t height, const QList<QWidget*>& controls);
    void AddMaxWidth(int32_t width, const QList<QWidget*>& controls);
    void AddPropotional(QWidget* window, const QList<QWidget*>& controls = {});
    void KeepFormProportional(QWidget* window);
    void AddFontResizing(QWidget* window, const QList<QWidget*>& controls = {});
    // position: 0 above, 1 below, 2 left, 3 right of each control; distance in twips.
    // container nullptr = the window. Labels are named "ctlLabel<n>".
    void AddCaptions(QWidget* window, QWidget* container, int16_t distance, int32_t position,
                     const QList<QWidget*>& controls = {});

    // The window's design sizes grow with a desktop's large fonts (Screen::DesignPixels):
    // where it is smaller than its design size, its faces and fixed sizes may fall back as far
    // as they are at the font it is laid out for.
    void FollowLargeFonts() { followsLargeFonts_ = true; }

    // One resize pass, as a resize of the target runs it (tests call it directly).
    void ResizePass();

    int RuleCount() const { return static_cast<int>(rules_.size()); }
    int32_t RuleKind(int index) const;   // 0-based, list order
    int16_t DesignWidth() const { return designWidth_; }
    int16_t DesignHeight() const { return designHeight_; }

    // The named controls of a window, as the "all controls" forms use them.
    static QList<QWidget*> WindowControls(QWidget* window);

signals:
    // Raised once, at the first rule registration. The flag is False on entry; not read.
    void BeforeResizing(bool& flag);
    void AfterResizing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Rule {
        int32_t kind = 0;
        QPointer<QObject> reference;    // null for kinds 14 and 15
        std::vector<QPointer<QWidget>> controls;
        int32_t value = 0;
    };
    struct DesignRect {
        int32_t left = 0, top = 0, right = 0, bottom = 0;
    };

    void FirstRule();
    void CaptureDesignSize(QWidget* window);
    // The reference's rectangle in twips: the window's inside from 0, 0, or a control's.
    struct Bounds {
        int64_t L = 0, T = 0, R = 0, B = 0;
    };
    static std::optional<Bounds> ReferenceBounds(const Rule& rule, bool windowReference);
    void ApplyResize(const Rule& rule);
    // The rules that place or size one control against the reference's edges.
    static void ApplyEdgeRule(int32_t kind, QWidget* c, const Bounds& r, int64_t v);
    static void ApplyEqualSizes(const Rule& rule, QWidget* c, int i, const Bounds& r);
    static void ApplyFirstTakesRest(const Rule& rule, QWidget* c, int i, const Bounds& r);
    // The rules that scale a control from its design rectangle and font size.
    void ApplyProportional(QWidget* c, int i, const Bounds& r) const;
    void ApplyFontResizing(QWidget* c, int i, const Bounds& r) const;
    bool IsWindowReference(const QObject* reference) const;
    double LargeFontShrink() const;
    double LargeFonts() const;   // the large-font scale the window follows, 1 when none

    QPointer<QWidget> target_;
    std::vector<Rule> rules_;
    bool firstRule_ = true;
    bool busy_ = false;
    int16_t designWidth_ = 0;
    int16_t designHeight_ = 0;
    float designRatio_ = 0.0f;
    std::vector<DesignRect> designRects_;
    // Each control's face as the window was laid out with it, its fraction kept (a desktop's
    // 13.5 points made 14 would outgrow the room the window gives its text).
    std::vector<float> designFontSizes_;
    int16_t captionCounter_ = 0;
    bool followsLargeFonts_ = false;
};

} // namespace vexal
