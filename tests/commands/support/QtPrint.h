#pragma once
// Readable failure messages for Qt texts in GoogleTest.
#include <ostream>

#include <QString>
#include <QStringList>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << "[\"" << l.join(QStringLiteral("\", \"")).toStdString() << "\"]";
}
