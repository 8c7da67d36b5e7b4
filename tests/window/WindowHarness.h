#pragma once

// What the window tests share: truck lines built from their values, a window
// whose message boxes are recorded and whose open dialog answers from a queue.

#include "records/FieldTable.h"
#include "window/CommonDialog.h"
#include "window/MessageBoxes.h"
#include "window/frmMain.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPlainTextEdit>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <stdexcept>

namespace axlewise::testing {

// Data(1)..Data(32) of one truck line, in the order of the field table.
using TruckValues = std::array<int, kFieldCount>;

inline int& Value(TruckValues& values, int field) {
    return values[static_cast<std::size_t>(field - 1)];
}

// A truck passing on 2 March at 04:05:06.07 (5285106.07 s) with the given axle
// weights and spacings; the gross weight is the sum of the axle weights.
inline TruckValues MakeTruck(int head, const QList<int>& weights, const QList<int>& spacings) {
    TruckValues values{};
    Value(values, 1) = head;
    Value(values, kDayField) = 2;
    Value(values, kMonthField) = 3;
    Value(values, 4) = 24;  // YEAR
    Value(values, kHourField) = 4;
    Value(values, kMinuteField) = 5;
    Value(values, kSecondField) = 6;
    Value(values, kHundredthsField) = 7;
    Value(values, 9) = 87;    // SPEED
    Value(values, 11) = 165;  // LENGTH
    Value(values, kNoAxlesField) = static_cast<int>(weights.size());
    Value(values, 13) = 1;   // DIRECTION
    Value(values, 14) = 2;   // LANE
    Value(values, 15) = 45;  // TRNS LANE POS
    int gvw = 0;
    for (int i = 1; i <= weights.size(); ++i) {
        Value(values, AxleWeightField(i)) = weights[i - 1];
        gvw += weights[i - 1];
    }
    for (int k = 1; k <= spacings.size(); ++k) {
        Value(values, AxleSpacingField(k)) = spacings[k - 1];
    }
    Value(values, kGvwField) = gvw;
    return values;
}

// The 78-character line of a truck: every value right-aligned in its columns,
// then one more character past the last field, as the recorders write it.
inline QString TruckLine(const TruckValues& values) {
    QString line;
    for (const FieldSpec& field : kFields) {
        const QString text = QString::number(values[static_cast<std::size_t>(field.index - 1)]);
        if (text.size() > field.width) {
            throw std::invalid_argument("value too wide for its field");
        }
        line += text.rightJustified(field.width, QLatin1Char(' '));
    }
    return line + QLatin1Char('0');
}

// The line with the text of one field replaced (which may make it unreadable).
inline QString WithField(const QString& line, int field, const QString& text) {
    const FieldSpec& column = kFields[static_cast<std::size_t>(field - 1)];
    QString result = line;
    result.replace(column.start - 1, column.width,
                   text.rightJustified(column.width, QLatin1Char(' ')));
    return result;
}

// The 34 lines the value column shows for a truck.
inline QStringList PanelLines(int index, const TruckValues& values, const QString& time) {
    QStringList lines{QString::number(index)};
    for (int value : values) {
        lines << QString::number(value);
    }
    return lines << time;
}

struct Message {
    QString text;
    MsgIcon icon;
};

// Keeps every message box instead of showing it.
class RecordingBoxes : public MessageBoxes {
public:
    explicit RecordingBoxes(QList<Message>& sink) : sink_(sink) {}
    void MsgBox(QWidget*, const QString& text, MsgIcon icon) override {
        sink_.append({text, icon});
    }

private:
    QList<Message>& sink_;
};

// The main window, shown, with recorded message boxes and an open dialog that
// answers from `answers` (a path, or nullopt for Cancel). A dialog shown with no
// answer left is counted in `unexpectedDialogs` and cancelled.
struct Harness {
    QList<Message> messages;
    QList<std::optional<QString>> answers;
    QList<CommonDialog::Request> requests;
    int unexpectedDialogs = 0;
    frmMain window;  // last: goes before what its message boxes record into

    Harness() {
        window.setMessageBoxes(std::make_unique<RecordingBoxes>(messages));
        window.CommonDialog1().setRunner([this](const CommonDialog::Request& request) {
            requests.append(request);
            if (answers.isEmpty()) {
                ++unexpectedDialogs;
                return std::optional<QString>();
            }
            return answers.takeFirst();
        });
        window.show();
    }

    template <typename T = QWidget>
    T* find(const QString& name) {
        T* widget = window.findChild<T*>(name);
        if (widget == nullptr) {
            throw std::logic_error("no control named " + name.toStdString());
        }
        return widget;
    }

    QString text(const QString& box) { return find<QPlainTextEdit>(box)->toPlainText(); }
    QStringList truckLines() { return text(QStringLiteral("txtTruck")).split(QLatin1Char('\n')); }
};

// The colour of the surface image at a point given in logical pixels.
inline QColor PixelAt(const QImage& image, QPointF logical) {
    const QPointF device = logical * image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(device.x()), static_cast<int>(device.y()));
}

inline bool IsBlack(const QColor& colour) {
    return colour.lightness() < 64;
}
inline bool IsWhite(const QColor& colour) {
    return colour.lightness() > 192;
}

}  // namespace axlewise::testing
