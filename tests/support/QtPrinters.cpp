#include "QtPrinters.h"

#include <iomanip>

QT_BEGIN_NAMESPACE

void PrintTo(const QString &value, std::ostream *os)
{
    *os << '"' << value.toUtf8().toStdString() << '"';
}

void PrintTo(const QByteArray &value, std::ostream *os)
{
    // Bytes are shown as hex so that encodings and line ends can be read.
    *os << "bytes[" << value.size() << "]{";
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (i > 0)
            *os << ' ';
        *os << std::hex << std::setw(2) << std::setfill('0')
            << (static_cast<unsigned>(value[i]) & 0xFFu) << std::dec;
    }
    *os << '}';
}

void PrintTo(const QStringList &value, std::ostream *os)
{
    *os << '[';
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (i > 0)
            *os << ", ";
        PrintTo(value[i], os);
    }
    *os << ']';
}

void PrintTo(QChar value, std::ostream *os)
{
    *os << "U+" << std::hex << std::uppercase << std::setw(4) << std::setfill('0')
        << static_cast<unsigned>(value.unicode()) << std::dec << std::nouppercase;
}

QT_END_NAMESPACE
