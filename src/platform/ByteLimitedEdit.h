#pragma once

#include <QLineEdit>

namespace qel {

// A one-line text box that holds at most a number of code page 932 bytes, as a box of
// the original platform measured its limit: what the user types, pastes, drops or
// commits from an input method is cut to what still fits, at a character boundary.
// Text the program sets with setTextUncut() is shown whole, however long.
class ByteLimitedEdit : public QLineEdit {
    Q_OBJECT
public:
    ByteLimitedEdit(int byteLimit, QWidget* parent = nullptr);

    int byteLimit() const { return limit_; }
    void setTextUncut(const QString& text);

private:
    class Limiter;
    friend class Limiter;

    int limit_;
    bool uncut_ = false;
    QString accepted_; // the text as it stood after the last change
};

} // namespace qel
