#include "WindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QSettings>
#include <QTimer>

namespace axlewise::test {

QByteArray Line(int head, int field, std::string_view text) {
    const std::string line = TruckLine(head);
    return QByteArray::fromStdString(text.empty() ? line : WithField(line, field, text)) + '\n';
}

QByteArray Changed(int head, const std::vector<std::pair<int, const char*>>& changes) {
    std::string line = TruckLine(head);
    for (const auto& [field, text] : changes) {
        line = WithField(line, field, text);
    }
    return QByteArray::fromStdString(line) + '\n';
}

QByteArray ThreeTrucks() {
    return Line(1001) + Line(1002) + Line(1003);
}

QString FailedToOpen(const QString& path) {
    return QStringLiteral("Unkown error while opening file %1\n").arg(path);
}

void RecordingBoxes::MsgBox(QWidget*, const QString& text, MsgIcon icon) {
    const char* mark = icon == MsgIcon::Critical      ? "(x) "
                       : icon == MsgIcon::Information ? "(i) "
                                                      : "";
    sink->append(QString::fromLatin1(mark) + text);
}

bool AllWhite(const QImage& image) {
    QImage white(image.size(), image.format());
    white.fill(Qt::white);
    return image == white;
}

std::shared_ptr<DialogAnswer> AnswerInputDialog(const std::optional<QString>& reply) {
    auto answer = std::make_shared<DialogAnswer>();
    QTimer::singleShot(0, [answer, reply] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->windowTitle() != QLatin1String("Axlewise")) {
            return;
        }
        answer->shown = true;
        answer->label = dialog->labelText();
        if (dialog->inputMode() == QInputDialog::IntInput) {
            answer->value = QString::number(dialog->intValue());
            answer->minimum = dialog->intMinimum();
            answer->maximum = dialog->intMaximum();
            if (reply) {
                dialog->setIntValue(reply->toInt());
            }
        } else {
            answer->value = dialog->textValue();
            if (reply) {
                dialog->setTextValue(*reply);
            }
        }
        if (reply) {
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    return answer;
}

void WindowFixture::setUpWindow() {
    // The one setting the window keeps goes to this test's own folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    messages.clear();
    requests.clear();
    window = std::make_unique<frmMain>();
    window->setMessageBoxes(std::make_unique<RecordingBoxes>(&messages));
    window->CommonDialog1().setRunner([this](const CommonDialog::Request& request) {
        requests.append(request);
        return std::exchange(answer, std::nullopt);
    });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void WindowFixture::read(const QByteArray& text) {
    editor()->setText(SharedText(text.toStdString()));
    click(QStringLiteral("btnReadTxt"));
}

void WindowFixture::open(const QString& how, const std::optional<QString>& reply) {
    answer = reply;
    if (how == QLatin1String("menu")) {
        find<QAction>(QStringLiteral("FileOpen"))->trigger();
    } else {
        click(QStringLiteral("Command1"));
    }
}

QString WindowFixture::write(const QString& name, const QByteArray& contents) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        return {};
    }
    return file.fileName();
}

void WindowFixture::holdThree() {
    open(QStringLiteral("menu"), write(QStringLiteral("three.txt"), ThreeTrucks()));
    click(QStringLiteral("btnEnd"));
}

}  // namespace axlewise::test
