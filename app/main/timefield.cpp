#include "app/main/timefield.h"

#include <QValidator>

#include <limits>

namespace lunex {

// Refuses only an edit that makes the text longer than the limit and longer
// than it was, so that a long text set by an operation can still be shortened.
class TypingLimit : public QValidator {
public:
    explicit TypingLimit(TimeField *field) : QValidator(field), field_(field) {}
    State validate(QString &input, int &) const override {
        return input.size() > TimeField::TypedLimit && input.size() > field_->accepted_.size()
                   ? Invalid
                   : Acceptable;
    }

private:
    TimeField *field_;
};

TimeField::TimeField(QWidget *parent) : QLineEdit(parent) {
    // QLineEdit cuts every text, set ones too, at 32767 characters by default:
    // a longer stored text would come back from "OK" or "Mentés" cut short.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new TypingLimit(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) { accepted_ = text; });
}

void TimeField::setHeldText(const QString &text) {
    // Validation runs inside setText, before textChanged: let it pass there.
    accepted_ = text;
    setText(text);
    setCursorPosition(0); // show the beginning of a long text
}

} // namespace lunex
