#pragma once

#include "drawing/charts/Charts.h"
#include "records/BrowserState.h"
#include "stats/SiteStats.h"
#include "window/MessageBoxes.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QTableWidget;

namespace axlewise {

// One chart as a widget: paints its chart in its whole area, reports a click
// on an item (a day, a check's bar), shows what an item holds as a tooltip,
// and offers "Save Chart As..." in its context menu.
class ChartView : public QWidget {
    Q_OBJECT

public:
    ChartView(ChartKind kind, QWidget* parent = nullptr);

    void setStats(std::shared_ptr<const SiteStats> stats);
    // The chart on show, drawn in rect().
    const Chart& chart() const { return chart_; }
    // The tooltip of an item (empty: none).
    std::function<QString(int item)> describe;

signals:
    void itemClicked(int item);
    void saveRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The chart laid out in rect(), made again only when the figures or the
    // size change: paints, clicks, tooltips and every mouse move read it.
    const ChartGeometry& laidOut();

    Chart chart_;
    std::optional<ChartGeometry> laidOut_;
};

// The Summary window: the figures of the trucks held (lines, trucks, each
// check's trucks and share, first and last passage, trucks per lane and
// direction, GVW percentiles) above the charts, in a scrolling grid. A
// non-modal, resizable top-level window; the main window feeds it and shows
// the truck it asks for.
class frmSummary : public QWidget {
    Q_OBJECT

public:
    explicit frmSummary(QWidget* parent = nullptr);
    ~frmSummary() override;

    // The figures to show and the lines read. Cheap: the figures are kept, and
    // shown now when the window is visible, else when it is next shown.
    void setSummary(SiteStats stats, TruckIndex lines);

    // The save dialog: asked with a suggested file name, answers the chosen
    // path or nothing when cancelled. Tests replace it.
    using SaveDialog = std::function<std::optional<QString>(QWidget* parent, const QString& name)>;
    void setSaveDialog(SaveDialog dialog) { saveDialog_ = std::move(dialog); }
    // Replaces the message boxes (tests record them instead of blocking).
    void setMessageBoxes(std::unique_ptr<MessageBoxes> boxes);

    // Writes the chart as a PNG (at the window's pixel ratio) or an SVG, as
    // the path's suffix says, whole or not at all; the reason in *error when
    // it cannot.
    bool saveChart(ChartKind kind, const QString& path, QString* error) const;

signals:
    // The user clicked a check (its bar or its row: the first truck that
    // failed it) or a day of the calibration charts (its first truck).
    void showTruckRequested(TruckIndex number);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void Refresh();
    void ShowFigures();
    void CheckChosen(int code);
    void DayChosen(int day);
    void SaveChartAs(ChartView* view);
    QString DayTip(int day, bool steering) const;
    QString CheckTip(int code) const;
    static std::optional<QString> RunSaveDialog(QWidget* parent, const QString& name);

    std::shared_ptr<const SiteStats> stats_;
    TruckIndex lines_ = 0;
    bool stale_ = true;

    QLabel* lblLines_ = nullptr;
    QLabel* lblTrucks_ = nullptr;
    QLabel* lblFirst_ = nullptr;
    QLabel* lblLast_ = nullptr;
    QLabel* lblDays_ = nullptr;
    QLabel* lblLanes_ = nullptr;
    QLabel* lblGvw_ = nullptr;
    QTableWidget* tblChecks_ = nullptr;
    std::vector<ChartView*> charts_;

    SaveDialog saveDialog_;
    std::unique_ptr<MessageBoxes> messageBoxes_;
};

}  // namespace axlewise
