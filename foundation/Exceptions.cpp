#include "foundation/Exceptions.h"

#include "foundation/FoundationStrings.h"

Exception::Exception(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toStdString())
{
}

void ThrowConvertError(const QString &text)
{
    throw EConvertError(FoundationStrings::ConvertError().arg(text));
}

void ThrowListIndexError(qsizetype index)
{
    throw EListError(FoundationStrings::ListIndexError().arg(index));
}

void ThrowAssignError(const QString &sourceClass, const QString &destinationClass)
{
    throw EAssignError(FoundationStrings::AssignError().arg(sourceClass, destinationClass));
}
