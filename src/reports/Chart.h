#pragma once
// Chart: the chart control of the Standings and Power Ratings windows. Series of numbers
// under a row of labels, drawn as bars, lines, stacked bars or points, with a title, a legend
// and a vertical scale widened to the data. Only what those windows use of a chart control.
#include <QString>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace vexal {

class Chart : public QWidget {
    Q_OBJECT
public:
    enum Type : int32_t { Bar = 0, Line = 1, StackedBar = 2, Point = 3 };
    static constexpr int MaxSeries = 15;

    explicit Chart(QWidget* parent = nullptr);

    int32_t ChartType() const { return type_; }
    void SetChartType(int32_t type) { type_ = type; }
    int16_t DrawWidth() const { return drawWidth_; }
    void SetDrawWidth(int16_t width) { drawWidth_ = width; }
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    int32_t ForeColor() const { return foreColor_; }       // 0x00BBGGRR
    void SetForeColor(int32_t color) { foreColor_ = color; }
    bool DisplayLegend() const { return legend_; }
    void SetDisplayLegend(bool on) { legend_ = on; }
    double HighScale() const { return high_; }
    void SetHighScale(double v) { high_ = v; }
    double LowScale() const { return low_; }
    void SetLowScale(double v) { low_ = v; }
    double VerticalTickInterval() const { return tick_; }
    void SetVerticalTickInterval(double v) { tick_ = v; }
    int HorizontalTickFrequency() const { return labelEvery_; }
    void SetHorizontalTickFrequency(int v) { labelEvery_ = v; }

    // Colour (0x00BBGGRR) and legend of a series 0..15. An empty legend keeps the old one.
    // A series outside 0..15 shows "Too many data series -- limit is 15" and changes nothing.
    void SetSeriesOptions(int series, int32_t color, const QString& legend = QString());
    int32_t SeriesColor(int series) const;
    QString SeriesLegend(int series) const;

    // Row 0: the labels under the columns; rows 1 and up: series 0, 1, ... An empty value is 0.
    void RegisterData(const std::vector<std::vector<QVariant>>& data);
    const std::vector<std::vector<QVariant>>& Data() const { return data_; }
    int Series() const { return data_.empty() ? 0 : static_cast<int>(data_.size()) - 1; }
    double Value(int series, int column) const;

    // Draws the chart with the current data and properties. Counts the drawings.
    void Refresh();
    int RefreshCount() const { return refreshes_; }
    // The scale the last drawing used (after widening to the data).
    double DrawnHigh() const { return drawnHigh_; }
    double DrawnLow() const { return drawnLow_; }

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ComputeScale();

    int32_t type_ = Bar;
    int16_t drawWidth_ = 1;
    QString title_;
    int32_t foreColor_ = 0;
    bool legend_ = false;
    double high_ = 0;
    double low_ = 0;
    double tick_ = 0;
    int labelEvery_ = 1;
    std::vector<int32_t> colors_;
    std::vector<bool> ownColor_;
    std::vector<QString> legends_;
    std::vector<std::vector<QVariant>> data_;
    int refreshes_ = 0;
    double drawnHigh_ = 0;
    double drawnLow_ = 0;
};

} // namespace vexal
