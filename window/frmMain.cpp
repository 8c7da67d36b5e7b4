#include "window/frmMain.h"

#include "display/Navigation.h"
#include "display/TruckPanel.h"
#include "loading/PastedText.h"
#include "loading/TruckFile.h"
#include "records/RuntimeError.h"
#include "drawing/AppIcon.h"
#include "stats/SiteStats.h"
#include "window/WorkerLoad.h"
#include "window/frmSummary.h"
#include "drawing/Layout.h"
#include "window/PictureBox.h"
#include "window/TextBox.h"
#include "drawing/Utf8Text.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>

#include <limits>
#include <new>
#include <optional>
#include <utility>

namespace axlewise {

namespace {

// A column of the truck panel: a multi-line text box without scroll bars, so
// long lines wrap on the screen without changing the text; Tab moves the focus.
QPlainTextEdit* PanelColumn(QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    return box;
}

QString ObjectName(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// Names the control and puts it where the layout table says.
template <class Widget>
Widget* Place(Widget* widget, std::string_view name) {
    widget->setObjectName(ObjectName(name));
    widget->setGeometry(PixelRect(Control(name)));
    return widget;
}

QPushButton* CommandButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent),
      CommonDialog1_(this),
      messageBoxes_(std::make_unique<MessageBoxes>()),
      decimalSeparator_(QLocale().decimalPoint().toStdString()) {
    setWindowTitle(QStringLiteral("Axlewise by Quenby"));
    setWindowIcon(TruckIcon());
    // The window's font is the program's: the menu, the open dialog, the message
    // boxes and the progress dialog show the same type face as the controls.
    QApplication::setFont(WindowFont(kWindowPoints));
    setFont(WindowFont(kWindowPoints));
    BuildMenu();
    BuildGoMenu();
    BuildControls();
    BuildFind();
    FollowBox();
    BuildViewMenu();
    // The layout is absolute: the window has the size of its client area and
    // menu bar, and the user cannot resize it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    txtHeads->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::setMessageBoxes(std::unique_ptr<MessageBoxes> boxes) {
    messageBoxes_ = std::move(boxes);
}

void frmMain::BuildMenu() {
    FileMenu = menuBar()->addMenu(QStringLiteral("File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    FileOpen = FileMenu->addAction(QStringLiteral("Open"));
    FileOpen->setObjectName(QStringLiteral("FileOpen"));
    mnuBar2 = FileMenu->addSeparator();
    mnuBar2->setObjectName(QStringLiteral("mnuBar2"));
    FileExit = FileMenu->addAction(QStringLiteral("Exit"));
    FileExit->setObjectName(QStringLiteral("FileExit"));
    connect(FileOpen, &QAction::triggered, this,
            [this] { RunCommand("Open", &frmMain::FileOpen_Click); });
    connect(FileExit, &QAction::triggered, this, &QWidget::close);
}

namespace {

// The one setting kept between runs.
constexpr auto kFixedFontKey = "FixedWidthFont";

QSettings Settings() {
    return QSettings(QStringLiteral("Axlewise"), QStringLiteral("Axlewise"));
}

}  // namespace

void frmMain::BuildViewMenu() {
    ViewMenu = menuBar()->addMenu(QStringLiteral("View"));
    ViewMenu->setObjectName(QStringLiteral("ViewMenu"));
    ViewSummary = ViewMenu->addAction(QStringLiteral("Summary..."));
    ViewSummary->setObjectName(QStringLiteral("ViewSummary"));
    connect(ViewSummary, &QAction::triggered, this,
            [this] { RunCommand("Summary", &frmMain::ViewSummary_Click); });
    ViewMenu->addSeparator();
    ViewFixedFont = ViewMenu->addAction(QStringLiteral("Fixed-Width Font"));
    ViewFixedFont->setObjectName(QStringLiteral("ViewFixedFont"));
    ViewFixedFont->setCheckable(true);
    const bool fixed = Settings().value(QString::fromLatin1(kFixedFontKey), false).toBool();
    ViewFixedFont->setChecked(fixed);
    UseFixedFont(fixed);
    connect(ViewFixedFont, &QAction::toggled, this, [this](bool on) {
        UseFixedFont(on);
        Settings().setValue(QString::fromLatin1(kFixedFontKey), on);
    });
}

void frmMain::UseFixedFont(bool fixed) {
    // The columns of a truck file line up only in a fixed-width font; the
    // window's own font stays the default, for the window's look.
    const QFont windowFont = WindowFont(kWindowPoints);
    if (!fixed) {
        Editor->setFont(windowFont);
        return;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(windowFont.pointSizeF());
    Editor->setFont(font);
}

void frmMain::ViewSummary_Click() {
    if (summary_ == nullptr) {
        summary_ = new frmSummary(this);
        connect(summary_, &frmSummary::showTruckRequested, this, [this](TruckIndex number) {
            if (state_.HoldsTruck(number)) {
                RunCommand("Summary", [this, number] { ShowTruckAt(number); });
            }
        });
    }
    summary_->show();
    summary_->raise();
    summary_->activateWindow();
    RefreshSummary();
}

void frmMain::RefreshSummary() {
    if (summary_ == nullptr || !summary_->isVisible()) {
        return;
    }
    if (!summaryFigures_) {
        summaryFigures_ = std::make_unique<StatsAccumulator>();
    }
    StatsAccumulator& figures = *summaryFigures_;
    for (TruckIndex n = figures.trucks() + 1; n <= state_.NoTrucks; ++n) {
        figures.add(n, state_.Trucks.truck(n), state_.Trucks.checks(n));
    }
    summary_->setSummary(figures.result(), linesRead_);
}

void frmMain::BuildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ClientSize());
    setCentralWidget(client);

    const QFont panelFont = WindowFont(kWindowPoints, true);

    txtHeads = Place(PanelColumn(client), "txtHeads");
    txtHeads->setFont(panelFont);
    txtHeads->setPlainText(FromUtf8(HeadsText(lineBreak())));

    lblNoTrucks = Place(new QLabel(QStringLiteral("No of Trucks"), client), "lblNoTrucks");
    lblNoTrucks->setFont(WindowFont(kCountLabelPoints, true));

    btnPrev = Place(CommandButton(client, QStringLiteral("Previous")), "btnPrev");
    btnStart = Place(CommandButton(client, QStringLiteral("Start")), "btnStart");
    btnEnd = Place(CommandButton(client, QStringLiteral("End")), "btnEnd");
    btnNext = Place(CommandButton(client, QStringLiteral("Next")), "btnNext");
    Command1 = Place(CommandButton(client, QStringLiteral("Open")), "Command1");
    Label1 =
        Place(new QLabel(QStringLiteral("No of lines to ignore at the start of the file"), client),
              "Label1");
    txtIgline = Place(new QLineEdit(QStringLiteral("0"), client), "txtIgline");
    // No text box limits the length of its text.
    txtIgline->setMaxLength(std::numeric_limits<int>::max());

    txtTruck = Place(PanelColumn(client), "txtTruck");
    txtTruck->setFont(panelFont);

    Label3 = Place(new QLabel(QStringLiteral("Actual File Contents:"), client), "Label3");
    // The file contents: a box of our own that views the loaded text instead of
    // copying it, so a file of any size or line length shows at once.
    Editor = Place(new TextBox(client), "Editor");

    picTruck = Place(new PictureBox(client), "picTruck");
    btnReadTxt = Place(CommandButton(client, QStringLiteral("Read Pasted Truck(s)")), "btnReadTxt");
    lblChecks = Place(new QLabel(client), "lblChecks");
    lblChecks->setTextFormat(Qt::PlainText);

    // Both columns of the truck panel show their lines from the same top with the
    // same font and margins, so value n stands beside caption n. Neither takes
    // typing: a line break typed into one would put every value beside the
    // wrong caption. Their text can still be selected and copied.
    for (QPlainTextEdit* column : {txtHeads, txtTruck}) {
        column->document()->setDocumentMargin(1);
        column->setReadOnly(true);
        column->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }

    // The keyboard moves through the controls in the order of the layout table;
    // labels take no focus.
    QWidget* previous = nullptr;
    for (const ControlPlace& control : kControls) {
        if (control.kind == ControlKind::Label) {
            continue;
        }
        auto* widget =
            client->findChild<QWidget*>(ObjectName(control.name), Qt::FindDirectChildrenOnly);
        Q_ASSERT(widget != nullptr);
        if (previous != nullptr) {
            setTabOrder(previous, widget);
        }
        previous = widget;
    }

    Connect(Command1, "Open", &frmMain::Command1_Click);
    Connect(btnReadTxt, "Read Pasted Truck(s)", &frmMain::btnReadTxt_Click);
    Connect(btnStart, "Start", &frmMain::btnStart_Click);
    Connect(btnPrev, "Previous", &frmMain::btnPrev_Click);
    Connect(btnNext, "Next", &frmMain::btnNext_Click);
    Connect(btnEnd, "End", &frmMain::btnEnd_Click);
}

void frmMain::Connect(QPushButton* button, const char* command, void (frmMain::*procedure)()) {
    connect(button, &QPushButton::clicked, this,
            [this, command, procedure] { RunCommand(command, procedure); });
}

void frmMain::RunCommand(const char* command, void (frmMain::*procedure)()) {
    RunCommand(command, [this, procedure] { (this->*procedure)(); });
}

void frmMain::RunCommand(const char* command, const std::function<void()>& work) {
    // Where a command ends: an error that leaves it is reported, and the window
    // goes on with what the command changed before it.
    QString problem;
    try {
        work();
        return;
    } catch (const RuntimeError& error) {
        problem = FromUtf8(error.reason());
    } catch (const std::bad_alloc&) {
        problem = QStringLiteral("There is not enough memory.");
    } catch (const std::exception& error) {
        problem = FromUtf8(error.what());
    }
    messageBoxes_->MsgBox(this,
                          QStringLiteral("\"%1\" could not be completed.\n%2")
                              .arg(QString::fromUtf8(command), problem),
                          MsgIcon::Critical);
}

// ---- Loading -------------------------------------------------------------

namespace {

// What a file must read for its head lines to count as the likely reason a
// load failed: within this many lines, and no truck read before.
constexpr TruckIndex kHeadLineHintLines = 10;
// The share of a file load's progress that reading the file takes; reading
// the lines takes the rest.
constexpr double kReadShare = 0.25;

// The part from..to of a progress that covers a whole load.
LoadProgress Share(const LoadProgress& progress, double from, double to) {
    return [progress, from, to](double done) { return progress(from + (to - from) * done); };
}

// "If the file starts with 2 head lines, type 2 in ...": the way out when a
// file fails on its first lines.
QString HeadLinesHint(TruckIndex lines) {
    return QStringLiteral("If the file starts with %1 head line%2, type %1 in \"%3\".")
        .arg(lines)
        .arg(lines == 1 ? QString() : QStringLiteral("s"))
        .arg(QStringLiteral("No of lines to ignore at the start of the file"));
}

QString TrucksAddedBefore(TruckIndex added) {
    if (added == 0) {
        return QStringLiteral("No truck was added.");
    }
    return added == 1 ? QStringLiteral("1 truck before it was added.")
                      : QStringLiteral("%1 trucks before it were added.").arg(added);
}

}  // namespace

void frmMain::FileOpen_Click() {
    TrapFileErrors([this] {
        CommonDialog1_.CancelError = true;
        CommonDialog1_.Flags = CommonDialog::kFileMustExist;
        CommonDialog1_.DefaultExt = QStringLiteral("txt");
        CommonDialog1_.Filter = QStringLiteral("Text files|*.txt|All files|*.*");
        CommonDialog1_.ShowOpen();
        LoadChosenFile();
    });
}

void frmMain::Command1_Click() {
    FileOpen_Click();
}

void frmMain::OpenFile(const QString& path) {
    CommonDialog1_.FileName = path;
    TrapFileErrors([this] { LoadChosenFile(); });
}

void frmMain::TrapFileErrors(const std::function<void()>& work) {
    // Where the open command ends: every error of its work becomes the file's
    // message, and a cancelled dialog ends it in silence.
    try {
        work();
    } catch (const RuntimeError& error) {
        if (error.number() != ErrorNumber::Cancelled) {
            ReportOpenFailure(FromUtf8(error.reason()));
        }
    } catch (const std::bad_alloc&) {
        ReportOpenFailure(QStringLiteral("There is not enough memory to read the file."));
    } catch (const std::exception& error) {
        ReportOpenFailure(FromUtf8(error.what()));
    }
}

void frmMain::LoadChosenFile() {
    const QString path = CommonDialog1_.FileName;
    const std::string previousName = std::exchange(state_.FileName, path.toStdString());
    // A bad count stops the load before the file is read: no truck changes.
    const TruckIndex ignore = IgnoreCount(txtIgline->text().toStdString());
    const std::string file = QFile::encodeName(path).toStdString();
    const TruckIndex first = state_.NoTrucks + 1;
    std::optional<LoadResult> result;
    {
        WorkerLoad load(this, QStringLiteral("Reading %1").arg(QFileInfo(path).fileName()),
                        progressDialogDelay_);
        load.setProbe(loadProbe_);
        try {
            result = load.run([file, ignore, first](const LoadProgress& progress) {
                std::optional<std::string> bytes =
                    ReadFileBytes(file, Share(progress, 0, kReadShare));
                if (!bytes) {
                    LoadResult cancelled;
                    cancelled.cancelled = true;
                    return cancelled;
                }
                return ReadTruckText(std::move(*bytes), ignore, first,
                                     Share(progress, kReadShare, 1));
            });
        } catch (...) {
            state_.FileName = previousName;
            throw;
        }
    }
    if (!result) {
        // As if the command had never run.
        state_.FileName = previousName;
        return;
    }
    CommitLoad(state_, *result);
    // The box views the lines read, up to and including a failing one.
    Editor->setText(result->echo, std::move(result->lineBreaks));
    boxRead_ = ReadFromBox::Of(result->echo, Editor->revision(), first, ignore, *result);
    FinishLoad(*result, LoadKind::File);
}

void frmMain::ReportOpenFailure(const QString& reason) {
    messageBoxes_->MsgBox(this,
                          QStringLiteral("Unkown error while opening file ") +
                              CommonDialog1_.FileName + QLatin1Char('\n') + reason,
                          MsgIcon::None);
    state_.FileName.clear();
}

void frmMain::btnReadTxt_Click() {
    // The box's text as it is now, joined into one text on the worker: an
    // edited text of a large file takes a while to join.
    const TextSnapshot snapshot = Editor->snapshot();
    const TruckIndex first = state_.NoTrucks + 1;
    std::optional<LoadResult> result;
    {
        WorkerLoad load(this, QStringLiteral("Reading the pasted trucks"), progressDialogDelay_);
        load.setProbe(loadProbe_);
        result = load.run([snapshot, first](const LoadProgress& progress) {
            constexpr double kJoinShare = 0.2;
            const std::optional<SharedText> text = snapshot.join(Share(progress, 0, kJoinShare));
            if (!text) {
                LoadResult cancelled;
                cancelled.cancelled = true;
                return cancelled;
            }
            LoadResult read = ReadPastedText(*text, first, Share(progress, kJoinShare, 1));
            // The text read, for the box to find the trucks' lines in.
            read.echo = *text;
            return read;
        });
    }
    if (result) {
        CommitLoad(state_, *result);
        boxRead_ = ReadFromBox::Of(result->echo, snapshot.revision(), first, 0, *result);
        FinishLoad(*result, LoadKind::Pasted);
    }
}

void frmMain::FinishLoad(const LoadResult& result, LoadKind kind) {
    linesRead_ += result.lines;
    // The label shows the true total even when the load stopped part-way.
    ShowCount();
    if (result.failure) {
        ReportLoadFailure(result, kind);
        return;
    }
    if (state_.NoTrucks == 0) {
        return;  // nothing to show is not an error
    }
    state_.CurrentTruck = 1;
    ShowTruck();
}

void frmMain::ReportLoadFailure(const LoadResult& result, LoadKind kind) {
    const LoadFailure& failure = *result.failure;
    QString reason = FromUtf8(failure.text());
    if (kind == LoadKind::File) {
        // The advice fits what the file looks like: a file that is no text
        // gets no hint about head lines, which could not help it.
        if (result.kind == TextKind::Utf16) {
            reason +=
                QStringLiteral("\nThe file looks like UTF-16 text; save it as UTF-8 or Latin-1.");
        } else if (result.kind == TextKind::Binary) {
            reason += QStringLiteral("\nThe file holds binary data, not lines of text.");
        } else if (result.added == 0 && result.failingLineIsText && failure.line >= 1 &&
                   failure.line <= kHeadLineHintLines) {
            reason += QLatin1Char('\n') + HeadLinesHint(failure.line);
        }
        ReportOpenFailure(reason);
        return;
    }
    const TruckIndex added = result.added;
    messageBoxes_->MsgBox(this,
                          QStringLiteral("Could not read the pasted trucks.\n") + reason +
                              QLatin1Char('\n') + TrucksAddedBefore(added),
                          MsgIcon::Critical);
}

void frmMain::ShowCount() {
    lblNoTrucks->setText(QStringLiteral("No. Trucks is ") + QString::number(state_.NoTrucks));
    UpdateGoActions();
    RefreshSummary();
}

// ---- Navigation and display ------------------------------------------------

void frmMain::btnStart_Click() {
    Navigate(MoveToStart);
}

void frmMain::btnPrev_Click() {
    Navigate(MoveToPrevious);
}

void frmMain::btnNext_Click() {
    Navigate(MoveToNext);
}

void frmMain::btnEnd_Click() {
    Navigate(MoveToEnd);
}

void frmMain::Navigate(bool (*step)(BrowserState&)) {
    if (step(state_)) {
        ShowTruck();
    }
}

void frmMain::ShowTruck() {
    axlewise::ShowTruck(state_, *this);
    MarkTruckLine();
}

void frmMain::setTruckText(const std::string& text) {
    txtTruck->setPlainText(FromUtf8(text));
}

void frmMain::setChecks(const std::vector<CheckFailure>& failures) {
    // Dark red says at a glance that something failed; the whole line, cut to
    // the label's width, and every message in full in the tooltip.
    const QColor failed(0x8B, 0x00, 0x00);
    QPalette colours = lblChecks->palette();
    colours.setColor(QPalette::WindowText,
                     failures.empty() ? palette().color(QPalette::WindowText) : failed);
    lblChecks->setPalette(colours);
    const QString line = FromUtf8(ChecksText(failures));
    lblChecks->setText(lblChecks->fontMetrics().elidedText(line, Qt::ElideRight,
                                                           lblChecks->contentsRect().width()));
    QStringList messages;
    for (const CheckFailure& failure : failures) {
        messages << QStringLiteral("%1: %2").arg(QString::fromUtf8(CheckName(failure.code)),
                                                 FromUtf8(failure.message));
    }
    lblChecks->setToolTip(messages.join(QLatin1Char('\n')));
}

void frmMain::MsgBox(const std::string& text, MsgIcon icon) {
    messageBoxes_->MsgBox(this, FromUtf8(text), icon);
}

DrawingSurface& frmMain::picture() {
    return picTruck->surface();
}

}  // namespace axlewise
