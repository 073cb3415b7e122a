#include "platform/ByteLimitedEdit.h"

#include "text/ByteLimit.h"

#include <QValidator>

namespace qel {

// Every change of the text passes through the validator, which may change the text
// it is given: that is where an edit is cut.
class ByteLimitedEdit::Limiter : public QValidator {
public:
    explicit Limiter(ByteLimitedEdit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override {
        if (!edit_->uncut_) {
            const cp932::LimitedEdit cut =
                cp932::limitEdit(edit_->accepted_, input, pos, edit_->limit_);
            input = cut.text;
            pos = int(cut.cursor);
        }
        edit_->accepted_ = input;
        return Acceptable;
    }

private:
    ByteLimitedEdit* edit_;
};

ByteLimitedEdit::ByteLimitedEdit(int byteLimit, QWidget* parent)
    : QLineEdit(parent), limit_(byteLimit) {
    setValidator(new Limiter(this));
}

void ByteLimitedEdit::setTextUncut(const QString& text) {
    uncut_ = true;
    setText(text);
    uncut_ = false;
    accepted_ = text;
}

} // namespace qel
