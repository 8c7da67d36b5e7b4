// render: one truck's picture, drawn as the window's picture box draws it.

#include "cli/CheckedFile.h"
#include "cli/Commands.h"
#include "cli/SafeOutput.h"
#include "display/ShowTruck.h"
#include "loading/TruckFile.h"
#include "records/RuntimeError.h"
#include "drawing/Layout.h"
#include "drawing/QImageSurface.h"

#include <QGuiApplication>
#include <QLocale>

#include <cstdio>
#include <optional>

namespace axlewise {

namespace {

// Reads lines until the wanted truck; unreadable lines on the way are reported.
class TruckFinder : public TruckLineSink {
public:
    TruckFinder(std::string name, TruckIndex wanted) : name_(std::move(name)), wanted_(wanted) {}

    bool truck(TruckIndex line, TruckRecord record) override {
        if (++trucks_ < wanted_) {
            return true;
        }
        line_ = line;
        found_ = std::move(record);
        return false;
    }

    bool failure(LoadFailure failure) override {
        unreadable_ = true;
        const std::string text = LineReport(name_, failure) + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
        return true;
    }

    const std::optional<TruckRecord>& found() const { return found_; }
    TruckIndex line() const { return line_; }
    TruckIndex trucks() const { return trucks_; }
    bool unreadable() const { return unreadable_; }

private:
    std::string name_;
    TruckIndex wanted_;
    TruckIndex trucks_ = 0;
    TruckIndex line_ = 0;
    std::optional<TruckRecord> found_;
    bool unreadable_ = false;
};

// The window's side of ShowTruck, without a window: the value column is not
// needed, the message is kept, the picture is a surface like picTruck's.
class PictureView : public TruckView {
public:
    PictureView(QImageSurface& surface, std::string decimalSeparator)
        : surface_(surface), decimalSeparator_(std::move(decimalSeparator)) {}

    void setTruckText(const std::string&) override {}
    void setChecks(const std::vector<CheckFailure>&) override {}
    void MsgBox(const std::string& text, MsgIcon) override { message_ = text; }
    DrawingSurface& picture() override { return surface_; }
    std::string_view decimalSeparator() const override { return decimalSeparator_; }

    const std::string& message() const { return message_; }

private:
    QImageSurface& surface_;
    std::string decimalSeparator_;
    std::string message_;
};

}  // namespace

void PreferOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

ExitStatus RunRender(const Arguments& arguments, int& argc, char** argv) {
    const std::string& path = arguments.files.front();
    const std::string name = DisplayName(path);

    TruckFinder finder(name, arguments.truck);
    try {
        ReadTruckLines(ReadFileText(path), arguments.ignore, finder);
    } catch (const RuntimeError& error) {
        Complain(name + ": " + error.reason());
        return ExitStatus::Failed;
    }
    if (!finder.found()) {
        Complain(name + ": no truck " + std::to_string(arguments.truck) + ": the file holds " +
                 std::to_string(finder.trucks()) + (finder.trucks() == 1 ? " truck" : " trucks"));
        return ExitStatus::Failed;
    }

    PreferOffscreen();
    const QGuiApplication application(argc, argv);

    // A fresh picture box, in whose copy-pen mode the first wheel is drawn.
    const std::unique_ptr<QImageSurface> surface = PictureSurface(arguments.scale);
    // The window shows shares with its locale's decimal separator; so does the picture.
    PictureView view(*surface, QLocale().decimalPoint().toStdString());
    BrowserState state;
    state.AddTruck(*finder.found());
    state.CurrentTruck = 1;
    const std::string where = name + ":" + std::to_string(finder.line());
    try {
        ShowTruck(state, view);
    } catch (const RuntimeError& error) {
        Complain(where + ": " + error.reason());
        return ExitStatus::Failed;
    }
    if (!view.message().empty()) {
        // A truck of fewer than two axles is not drawn; the picture stays blank.
        Complain(where + ": truck " + std::to_string(arguments.truck) + ": " + view.message() +
                 " (NO. AXLES is " + std::to_string(state.NoAxles) + "); the picture is blank");
    }

    // The picture is made before the output is touched; the output is replaced
    // only when the whole PNG was written.
    std::optional<SafeOutput> out;
    if (!OpenOutput(out, arguments.output, arguments.files)) {
        return ExitStatus::Failed;
    }
    if (!surface->image().save(&out->device(), "PNG")) {
        Complain(out->name() + ": " +
                 out->failure().value_or("the picture cannot be encoded as PNG"));
        return ExitStatus::Failed;
    }
    return Commit(*out, finder.unreadable() ? ExitStatus::Unreadable : ExitStatus::Ok);
}

}  // namespace axlewise
