#include "kit/TaskNames.h"

#include "control/TaskRules.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QValidator>

namespace TaskNames {

namespace {

constexpr QChar firstStrongIsolate(0x2068);
constexpr QChar popDirectionalIsolate(0x2069);
constexpr QChar noBreakSpace(0x00A0);
constexpr QChar wordJoiner(0x2060);

// The same characters the countdown keeps out of names it is sent from outside the panel.
bool isKeptOut(QChar c) {
    return TaskRules::isKeptOutOfNames(c);
}

// Rewrites the text in place, so the cursor stays where the user left it. A validator that
// changes what was typed costs the field its undo step for that edit, which is only ever the edit
// that carried a control character.
class ControlFilter final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override {
        qsizetype kept = 0;
        int cursor = position;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (!isKeptOut(input[i])) {
                input[kept++] = input[i];
            } else if (i < position) {
                --cursor;
            }
        }
        input.truncate(kept);
        position = cursor;
        return Acceptable;
    }
};

} // namespace

QString withoutControls(const QString& text) {
    QString kept = text;
    int position = 0;
    ControlFilter().validate(kept, position);
    return kept;
}

void filterControls(QLineEdit* field) {
    field->setValidator(new ControlFilter(field));
}

QString isolated(const QString& name) {
    return firstStrongIsolate + name + popDirectionalIsolate;
}

QString isolatedOnOneLine(const QString& name, const QFont& font, int width) {
    const QString fitting = QFontMetrics(font).elidedText(name, Qt::ElideRight, width);
    // Spaces become no-break spaces; every other break opportunity gets a word joiner (the line
    // breaker does not honour a joiner after a space, hence the two ways).
    QString joined;
    joined.reserve(fitting.size() + 8);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, fitting);
    qsizetype from = 0;
    while (breaks.toNextBoundary() != -1) {
        const qsizetype at = breaks.position();
        QString piece = fitting.mid(from, at - from);
        piece.replace(u' ', noBreakSpace);
        joined += piece;
        if (at < fitting.size() && !piece.endsWith(noBreakSpace))
            joined += wordJoiner;
        from = at;
    }
    return isolated(joined);
}

} // namespace TaskNames
