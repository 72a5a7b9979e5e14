#pragma once
// Chart: the chart control of the Standings and Power Ratings windows. Series of numbers
// under a row of labels, drawn as bars, lines, stacked bars or points, with a title, a legend
// and a vertical scale widened to the data. Only what those windows use of a chart control.
#include <QFont>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

namespace vexal {

class Chart : public QWidget {
    Q_OBJECT
public:
    enum Type : int32_t { Bar = 0, Line = 1, StackedBar = 2, Point = 3 };
    static constexpr int MaxSeries = 15;

    explicit Chart(QWidget* parent = nullptr);

    int32_t ChartType() const { return type_; }
    void SetChartType(int32_t type) { Set(type_, type, "ChartType"); }
    int16_t DrawWidth() const { return drawWidth_; }
    void SetDrawWidth(int16_t width) { drawWidth_ = width; }
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { Set(title_, title, "Title"); }
    int32_t ForeColor() const { return foreColor_; }       // 0x00BBGGRR
    void SetForeColor(int32_t color) { Set(foreColor_, color, "ForeColor"); }
    int32_t BackColor() const { return backColor_; }       // 0x00BBGGRR
    void SetBackColor(int32_t color) { Set(backColor_, color, "BackColor"); }
    bool DisplayLegend() const { return legend_; }
    void SetDisplayLegend(bool on) { Set(legend_, on, "DisplayLegend"); }
    bool PlotPoints() const { return plotPoints_; }
    void SetPlotPoints(bool on) { Set(plotPoints_, on, "PlotPoints"); }
    double HighScale() const { return high_; }
    void SetHighScale(double v) { Set(high_, v, "HighScale"); }
    double LowScale() const { return low_; }
    void SetLowScale(double v) { Set(low_, v, "LowScale"); }
    double VerticalTickInterval() const { return tick_; }
    void SetVerticalTickInterval(double v) { Set(tick_, v, "VerticalTickInterval"); }
    int HorizontalTickFrequency() const { return labelEvery_; }
    void SetHorizontalTickFrequency(int v) { Set(labelEvery_, v, "HorizontalTickFrequency"); }
    QFont TitleFont() const { return titleFont_; }
    void SetTitleFont(const QFont& f) { Set(titleFont_, f, "TitleFont"); }

    // The host's store of the control's saved properties: name and value, in writing order.
    using PropertyBag = std::vector<std::pair<QString, QVariant>>;
    // Writes the thirteen saved properties, in their fixed order.
    void WriteProperties(PropertyBag& bag) const;
    // Takes each saved property from the bag, its default when the bag lacks it. Series
    // colours and legends are not saved: they start unset.
    void ReadProperties(const PropertyBag& bag);

    // Colour (0x00BBGGRR) and legend of a series 0..15. An empty legend keeps the old one.
    // A series outside 0..15 shows "Too many data series -- limit is 15" and changes nothing.
    void SetSeriesOptions(int series, int32_t color, const QString& legend = QString());
    int32_t SeriesColor(int series) const;
    QString SeriesLegend(int series) const;

    // Row 0: the labels under the columns; rows 1 and up: series 0, 1, ... An empty value (a
    // week without a game) is a gap: nothing is drawn there and the scale leaves it out.
    void RegisterData(const std::vector<std::vector<QVariant>>& data);
    const std::vector<std::vector<QVariant>>& Data() const { return data_; }
    int Series() const { return data_.empty() ? 0 : static_cast<int>(data_.size()) - 1; }
    // The value at a column, 0 for a gap.
    double Value(int series, int column) const;
    bool IsGap(int series, int column) const;

    // Draws the chart with the current data and properties. Counts the drawings. A stacked
    // bar chart of negative data shows "Cannot plot stacked bar graph with negative data"
    // and leaves the chart blank; a chart that cannot be plotted (no data, one column, or a
    // scale of no height) throws error 32007 "Error <n> plotting graph: ..." (or "plotting
    // legend"). The plot widens HighScale and LowScale to take in every value, and they keep
    // the widened values until the host sets them again.
    void Refresh();
    // A host whose own states may leave nothing to scale (a season's first week: one column,
    // every value a gap or all of them the same) has such data drawn instead of raising the
    // plotting error: the values on a scale one tick interval above and below them, or an
    // empty frame. Only a chart with no data registered still raises it.
    void SetNothingToScaleDrawn(bool drawn) { nothingToScaleDrawn_ = drawn; }
    static constexpr int32_t PlotErrorNumber = 32007;
    // The colour a series is drawn in: its own, or the background's contrast when its own
    // would not show on the chart's background (a white series on white).
    int32_t DrawnSeriesColor(int series) const;
    bool Blank() const { return blank_; }
    int RefreshCount() const { return refreshes_; }
    // The scale the last drawing used (after widening to the data).
    double DrawnHigh() const { return drawnHigh_; }
    double DrawnLow() const { return drawnLow_; }

signals:
    // The surface's input, as the hosts of a chart expect it: key codes are the platform's
    // virtual-key codes (A = 65, F1 = 112, Left = 37), KeyPress gets the character's code;
    // shift is 1 Shift + 2 Ctrl + 4 Alt; button is 1 left, 2 right, 4 middle (for MouseMove
    // the buttons held); x and y are twips from the surface's top left corner.
    void Click();
    void DblClick();
    void KeyDown(int16_t keyCode, int16_t shift);
    void KeyPress(int16_t keyAscii);
    void KeyUp(int16_t keyCode, int16_t shift);
    void MouseDown(int16_t button, int16_t shift, float x, float y);
    void MouseMove(int16_t button, int16_t shift, float x, float y);
    void MouseUp(int16_t button, int16_t shift, float x, float y);
    // A property was set; its saved name.
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void ComputeScale();
    template <class T>
    void Set(T& field, const T& value, const char* name)
    {
        field = value;
        emit PropertyChanged(QString::fromLatin1(name));
    }

    bool afterDoubleClick_ = false;
    bool nothingToScaleDrawn_ = false;
    int32_t type_ = Bar;
    int16_t drawWidth_ = 1;
    QString title_;
    int32_t foreColor_ = 0;
    int32_t backColor_ = 0xFFFFFF;
    bool legend_ = false;
    bool plotPoints_ = false;
    bool blank_ = false;
    QFont titleFont_;
    double high_ = 0;
    double low_ = 0;
    double tick_ = 1;
    int labelEvery_ = 1;
    std::vector<int32_t> colors_;
    std::vector<bool> ownColor_;
    std::vector<QString> legends_;
    std::vector<std::vector<QVariant>> data_;
    int refreshes_ = 0;
    double drawnHigh_ = 0;
    double drawnLow_ = 0;
};

// Draws the chart; a chart with nothing registered yet has nothing to draw, and one that
// cannot be plotted is reported with the program's error message.
void RefreshChartOrReport(Chart& chart);

} // namespace vexal
