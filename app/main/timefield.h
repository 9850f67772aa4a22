#pragma once

#include <QLineEdit>

namespace lunex {

// A time field: typing stops at 16 characters, but a text that an operation
// sets is held whole, whatever its length (QLineEdit::setMaxLength would cut
// that too).
class TimeField : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int TypedLimit = 16;
    explicit TimeField(QWidget *parent = nullptr);
    // Sets the text the way the operations do: whole, without the limit.
    void setHeldText(const QString &text);

private:
    QString accepted_; // the text before the edit being validated
    friend class TypingLimit;
};

} // namespace lunex
