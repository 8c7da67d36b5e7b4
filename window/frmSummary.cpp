#include "window/frmSummary.h"

#include "drawing/AppIcon.h"
#include "drawing/charts/ChartFile.h"
#include "records/IntegerText.h"
#include "stats/FiguresText.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScrollArea>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

namespace axlewise {

namespace {

// Where each chart stands in the grid under the figures, and its names.
struct ChartPlace {
    ChartKind kind;
    const char* objectName;
    const char* fileName;  // suggested when saving
    int row;
    int column;
};
constexpr ChartPlace kChartPlaces[] = {
    {ChartKind::Gvw, "chartGvw", "gvw", 1, 0},
    {ChartKind::Checks, "chartChecks", "checks", 1, 1},
    {ChartKind::Steering, "chartSteering", "steering-axle", 2, 0},
    {ChartKind::Tandem, "chartTandem", "tandem-spacing", 2, 1},
    {ChartKind::Hourly, "chartHourly", "trucks-per-hour", 3, 0},
    {ChartKind::Speed, "chartSpeed", "speed", 3, 1},
    {ChartKind::Axles, "chartAxles", "axles", 4, 0},
};

const ChartPlace& PlaceOf(ChartKind kind) {
    for (const ChartPlace& place : kChartPlaces) {
        if (place.kind == kind) {
            return place;
        }
    }
    return kChartPlaces[0];
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString Number(double value) {
    return QString::number(value, 'g', 10);
}

QLabel* FigureLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

ChartView::ChartView(ChartKind kind, QWidget* parent)
    : QWidget(parent), chart_(kind, std::make_shared<SiteStats>()) {
    setMinimumSize(360, 260);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The context menu is built from the widget's actions, so a test can
    // trigger the action without a menu waiting for a click.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* save = new QAction(QStringLiteral("Save Chart As..."), this);
    save->setObjectName(QStringLiteral("actSaveChart"));
    addAction(save);
    connect(save, &QAction::triggered, this, &ChartView::saveRequested);
}

void ChartView::setStats(std::shared_ptr<const SiteStats> stats) {
    chart_ = Chart(chart_.kind(), std::move(stats));
    laidOut_.reset();
    update();
}

const ChartGeometry& ChartView::laidOut() {
    const QRectF bounds(rect());
    if (!laidOut_ || laidOut_->bounds != bounds) {
        laidOut_ = chart_.layout(bounds);
    }
    return *laidOut_;
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintChart(painter, laidOut());
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (const std::optional<int> item = ItemAt(laidOut(), event->position())) {
        emit itemClicked(*item);
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    const bool onItem = ItemAt(laidOut(), event->position()).has_value();
    setCursor(onItem ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

bool ChartView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<int> item = ItemAt(laidOut(), help->pos());
        const QString tip = item && describe ? describe(*item) : QString();
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

frmSummary::frmSummary(QWidget* parent)
    : QWidget(parent, Qt::Window),
      stats_(std::make_shared<SiteStats>()),
      saveDialog_(RunSaveDialog),
      messageBoxes_(std::make_unique<MessageBoxes>()) {
    setObjectName(QStringLiteral("frmSummary"));
    setWindowTitle(QStringLiteral("Axlewise - Summary"));
    setWindowIcon(TruckIcon());
    BuildControls();
    resize(960, 760);
}

frmSummary::~frmSummary() = default;

void frmSummary::setMessageBoxes(std::unique_ptr<MessageBoxes> boxes) {
    messageBoxes_ = std::move(boxes);
}

void frmSummary::BuildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrSummary"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pnlSummary"));
    auto* grid = new QGridLayout(page);
    grid->setSpacing(10);

    auto* figures = new QWidget(page);
    auto* column = new QVBoxLayout(figures);
    column->setContentsMargins(0, 0, 0, 0);
    lblLines_ = FigureLabel(figures, "lblLines");
    lblTrucks_ = FigureLabel(figures, "lblTrucks");
    lblFirst_ = FigureLabel(figures, "lblFirst");
    lblLast_ = FigureLabel(figures, "lblLast");
    lblDays_ = FigureLabel(figures, "lblDays");
    lblLanes_ = FigureLabel(figures, "lblLanes");
    lblGvw_ = FigureLabel(figures, "lblGvw");
    for (QLabel* label :
         {lblLines_, lblTrucks_, lblFirst_, lblLast_, lblDays_, lblLanes_, lblGvw_}) {
        column->addWidget(label);
    }
    column->addStretch();
    grid->addWidget(figures, 0, 0);

    tblChecks_ = new QTableWidget(kCheckCount, 4, page);
    tblChecks_->setObjectName(QStringLiteral("tblChecks"));
    tblChecks_->setHorizontalHeaderLabels({QStringLiteral("Check"), QStringLiteral("Trucks"),
                                           QStringLiteral("Share"),
                                           QStringLiteral("First trucks")});
    tblChecks_->verticalHeader()->hide();
    tblChecks_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    tblChecks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblChecks_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblChecks_->setSelectionMode(QAbstractItemView::SingleSelection);
    tblChecks_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblChecks_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < kCheckCount; ++row) {
        for (int col = 0; col < 4; ++col) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(col == 1 || col == 2 ? Qt::AlignRight | Qt::AlignVCenter
                                                        : Qt::AlignLeft | Qt::AlignVCenter);
            tblChecks_->setItem(row, col, item);
        }
        tblChecks_->item(row, 0)->setText(QString::fromLatin1(CheckName(kAllChecks[row])));
    }
    tblChecks_->resizeRowsToContents();
    int height = tblChecks_->horizontalHeader()->sizeHint().height() + 2 * tblChecks_->frameWidth();
    for (int row = 0; row < kCheckCount; ++row) {
        height += tblChecks_->rowHeight(row);
    }
    tblChecks_->setFixedHeight(height);
    connect(tblChecks_, &QTableWidget::cellClicked, this, [this](int row) { CheckChosen(row); });
    grid->addWidget(tblChecks_, 0, 1);

    for (const ChartPlace& place : kChartPlaces) {
        auto* view = new ChartView(place.kind, page);
        view->setObjectName(QString::fromLatin1(place.objectName));
        grid->addWidget(view, place.row, place.column);
        connect(view, &ChartView::saveRequested, this, [this, view] { SaveChartAs(view); });
        if (place.kind == ChartKind::Checks) {
            connect(view, &ChartView::itemClicked, this, &frmSummary::CheckChosen);
            view->describe = [this](int code) { return CheckTip(code); };
        } else if (place.kind == ChartKind::Steering || place.kind == ChartKind::Tandem) {
            const bool steering = place.kind == ChartKind::Steering;
            connect(view, &ChartView::itemClicked, this, &frmSummary::DayChosen);
            view->describe = [this, steering](int day) { return DayTip(day, steering); };
        }
        charts_.push_back(view);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    scroll->setWidget(page);
}

void frmSummary::setSummary(SiteStats stats, TruckIndex lines) {
    stats_ = std::make_shared<const SiteStats>(std::move(stats));
    lines_ = lines;
    stale_ = true;
    Refresh();
}

void frmSummary::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

// Only a visible window shows the figures: while it is closed, new figures
// are kept and nothing else happens.
void frmSummary::Refresh() {
    if (!stale_ || !isVisible()) {
        return;
    }
    stale_ = false;
    ShowFigures();
    for (ChartView* view : charts_) {
        view->setStats(stats_);
    }
}

void frmSummary::ShowFigures() {
    const SiteStats& s = *stats_;
    lblLines_->setText(QStringLiteral("lines read: %1").arg(lines_));
    lblTrucks_->setText(QStringLiteral("trucks: %1").arg(s.trucks));
    const auto passage = [](const std::optional<Passage>& p) {
        return p ? QStringLiteral("%1 (truck %2)").arg(Text(PassageText(*p))).arg(p->truck.number)
                 : QStringLiteral("-");
    };
    lblFirst_->setText(QStringLiteral("first passage: ") + passage(s.firstPassage));
    lblLast_->setText(QStringLiteral("last passage: ") + passage(s.lastPassage));

    QString days = QStringLiteral("days: %1").arg(s.days.size());
    if (!s.days.empty()) {
        const auto date = [](const DayFigures& d) {
            return Text(DateText(d.year, d.month, d.day));
        };
        days += QStringLiteral(", %1 to %2").arg(date(s.days.front()), date(s.days.back()));
    }
    if (s.undated > 0) {
        days += QStringLiteral("; trucks on no calendar date: %1").arg(s.undated);
    }
    days += QStringLiteral("\n5-axle trucks: %1").arg(s.fiveAxle);
    if (s.fiveAxle > 0) {
        days += QStringLiteral(", median WT AX 1 %1, median S AX 2 - AX 3 %2")
                    .arg(Number(s.steeringMedian), Number(s.tandemMedian));
    }
    lblDays_->setText(days);

    QString lanes = QStringLiteral("trucks per lane and direction:");
    if (s.lanes.empty()) {
        lanes += QStringLiteral(" -");
    }
    for (const LaneFigures& lane : s.lanes) {
        lanes += QStringLiteral("\n    %1: %2 (%3)")
                     .arg(Text(LaneText(lane)))
                     .arg(lane.trucks)
                     .arg(Text(ShareText(TenthsOfPercent(lane.trucks, s.trucks))));
    }
    lblLanes_->setText(lanes);
    lblGvw_->setText(QStringLiteral("GVW: ") +
                     (s.gvw ? Text(PercentilesText(*s.gvw)) : QStringLiteral("-")));

    for (int row = 0; row < kCheckCount; ++row) {
        const CheckFigures& check = s.checks[static_cast<std::size_t>(row)];
        tblChecks_->item(row, 1)->setText(QString::number(check.trucks));
        tblChecks_->item(row, 2)->setText(Text(ShareText(check.tenths)));
        tblChecks_->item(row, 3)->setText(Text(TruckNumbersText(check.first, check.trucks)));
        const QString tip = CheckTip(row);
        for (int col = 0; col < 4; ++col) {
            tblChecks_->item(row, col)->setToolTip(tip);
        }
    }
    for (int col = 0; col < 3; ++col) {
        tblChecks_->resizeColumnToContents(col);
    }
}

void frmSummary::CheckChosen(int code) {
    if (code < 0 || code >= kCheckCount) {
        return;
    }
    const CheckFigures& check = stats_->checks[static_cast<std::size_t>(code)];
    if (!check.first.empty()) {
        emit showTruckRequested(check.first.front().number);
    }
}

void frmSummary::DayChosen(int day) {
    if (day >= 0 && static_cast<std::size_t>(day) < stats_->days.size()) {
        emit showTruckRequested(stats_->days[static_cast<std::size_t>(day)].first.number);
    }
}

QString frmSummary::DayTip(int day, bool steering) const {
    if (day < 0 || static_cast<std::size_t>(day) >= stats_->days.size()) {
        return {};
    }
    const DayFigures& d = stats_->days[static_cast<std::size_t>(day)];
    return QStringLiteral("%1: median %2 %3 of %4 5-axle trucks\nclick: its first truck, %5")
        .arg(Text(DateText(d.year, d.month, d.day)))
        .arg(steering ? QStringLiteral("WT AX 1") : QStringLiteral("S AX 2 - AX 3"))
        .arg(Number(steering ? d.steeringMedian : d.tandemMedian))
        .arg(d.fiveAxle)
        .arg(d.first.number);
}

QString frmSummary::CheckTip(int code) const {
    if (code < 0 || code >= kCheckCount) {
        return {};
    }
    const CheckFigures& check = stats_->checks[static_cast<std::size_t>(code)];
    QString tip = QStringLiteral("%1: %2 trucks (%3)")
                      .arg(QString::fromLatin1(CheckName(kAllChecks[code])))
                      .arg(check.trucks)
                      .arg(Text(ShareText(check.tenths)));
    if (!check.first.empty()) {
        tip +=
            QStringLiteral("\nclick: the first of them, truck %1").arg(check.first.front().number);
    }
    return tip;
}

void frmSummary::SaveChartAs(ChartView* view) {
    const ChartPlace& place = PlaceOf(view->chart().kind());
    const std::optional<QString> path =
        saveDialog_(this, QString::fromLatin1(place.fileName) + QStringLiteral(".png"));
    if (!path) {
        return;
    }
    QString error;
    if (!saveChart(place.kind, *path, &error)) {
        messageBoxes_->MsgBox(this, error, MsgIcon::Critical);
    }
}

bool frmSummary::saveChart(ChartKind kind, const QString& path, QString* error) const {
    const ChartView* view = nullptr;
    for (const ChartView* candidate : charts_) {
        if (candidate->chart().kind() == kind) {
            view = candidate;
        }
    }
    if (view == nullptr) {
        return false;
    }
    // As large as on the screen, and never smaller than a chart is shown.
    const QSize size = view->size().expandedTo(view->minimumSize());
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("png")) {
        bytes = ChartPng(view->chart(), size, devicePixelRatioF());
    } else if (suffix == QLatin1String("svg")) {
        bytes = ChartSvg(view->chart(), size);
    } else {
        *error =
            QStringLiteral("Could not save the chart to %1: the name must end in .png or .svg.")
                .arg(path);
        return false;
    }
    // Written to a temporary file and renamed at the end: an old file is
    // replaced whole or left as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("Could not save the chart to %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<QString> frmSummary::RunSaveDialog(QWidget* parent, const QString& name) {
    QFileDialog dialog(parent, QStringLiteral("Save Chart As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString png = QStringLiteral("PNG image (*.png)");
    dialog.setNameFilters({png, QStringLiteral("SVG drawing (*.svg)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    // A name typed without a suffix takes the chosen filter's.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, png](const QString& f) {
            dialog.setDefaultSuffix(f == png ? QStringLiteral("png") : QStringLiteral("svg"));
        });
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace axlewise
