#pragma once

// The error classes of the foundation. Every error the libraries raise
// carries a message a user can read; windows catch at the event boundary and
// show Message(), the command line prints it.

#include <QString>

#include <exception>
#include <string>

class Exception : public std::exception
{
public:
    explicit Exception(QString message);

    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// A text that should have been a number ("'abc' is not a valid integer value").
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// Stream failures: buffer, seek, encoding detection, short reads and writes.
class EStreamError : public Exception
{
public:
    using Exception::Exception;
};

class EReadError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

class EFOpenError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

class EFCreateError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

// An index outside a list ("List index out of bounds (%d)").
class EListError : public Exception
{
public:
    using Exception::Exception;
};

class EStringListError : public Exception
{
public:
    using Exception::Exception;
};

// An object asked to copy from (or into) something it does not understand.
class EAssignError : public Exception
{
public:
    using Exception::Exception;
};

class EHashtableError : public Exception
{
public:
    using Exception::Exception;
};

class EIntOverflow : public Exception
{
public:
    using Exception::Exception;
};

// Helpers that build the messages the way every caller must show them.
[[noreturn]] void ThrowConvertError(const QString &text);
[[noreturn]] void ThrowListIndexError(qsizetype index);
[[noreturn]] void ThrowAssignError(const QString &sourceClass, const QString &destinationClass);
