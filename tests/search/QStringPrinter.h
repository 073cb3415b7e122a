#pragma once

#include <QString>

#include <ostream>

// Failure messages show text as UTF-8, with line breaks spelled out.
inline void PrintTo(const QString& text, std::ostream* os) {
    QString shown = text;
    shown.replace(u'\n', QStringLiteral("\\n"));
    *os << '"' << shown.toStdString() << '"';
}
