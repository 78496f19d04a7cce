#pragma once

// GoogleTest printers for Qt value types, so that a failed expectation shows
// the text of a QString rather than its bytes.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

QT_BEGIN_NAMESPACE
void PrintTo(const QString &value, std::ostream *os);
void PrintTo(const QByteArray &value, std::ostream *os);
void PrintTo(const QStringList &value, std::ostream *os);
void PrintTo(QChar value, std::ostream *os);
QT_END_NAMESPACE
