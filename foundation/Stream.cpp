#include "foundation/Stream.h"

#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"
#include "foundation/TextEncoding.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

TStream::~TStream() = default;

int64_t TStream::Size()
{
    const int64_t position = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(int64_t)
{
    throw EStreamError(FoundationStrings::StreamWriteError());
}

void TStream::ReadBuffer(void *buffer, int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError(FoundationStrings::StreamReadError());
}

void TStream::WriteBuffer(const void *buffer, int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError(FoundationStrings::StreamWriteError());
}

int64_t TStream::CopyFrom(TStream &source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    char chunk[65536];
    int64_t done = 0;
    while (done < count) {
        const int64_t n = std::min<int64_t>(count - done, sizeof chunk);
        source.ReadBuffer(chunk, n);
        WriteBuffer(chunk, n);
        done += n;
    }
    return done;
}

namespace {

QString AbsoluteName(const QString &fileName)
{
    return QFileInfo(fileName).absoluteFilePath();
}

} // namespace

TFileStream::TFileStream(const QString &fileName, TFileMode mode)
    : m_fileName(fileName)
{
    if ((mode & fmCreate) == fmCreate) {
        // Qt file handles are unbuffered here: a buffer stream on top does the buffering.
        m_file.setFileName(fileName);
        if (!m_file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
            throw EFCreateError(
                FoundationStrings::FileCreateError().arg(AbsoluteName(fileName), m_file.errorString()));
        return;
    }
    switch (mode & 0x3) {
    case fmOpenRead:
        m_file.setFileName(fileName);
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw EFOpenError(
                FoundationStrings::FileOpenError().arg(AbsoluteName(fileName), m_file.errorString()));
        return;
    case fmOpenWrite: {
        // QFile truncates a file opened write-only, so the descriptor is opened here
        // and handed over: open-for-writing keeps the contents.
        const QByteArray path = QFile::encodeName(fileName);
        const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            throw EFOpenError(FoundationStrings::FileOpenError().arg(
                AbsoluteName(fileName), QString::fromLocal8Bit(std::strerror(errno))));
        if (!m_file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            throw EFOpenError(
                FoundationStrings::FileOpenError().arg(AbsoluteName(fileName), m_file.errorString()));
        }
        return;
    }
    default:
        m_file.setFileName(fileName);
        if (!m_file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
            throw EFOpenError(
                FoundationStrings::FileOpenError().arg(AbsoluteName(fileName), m_file.errorString()));
        return;
    }
}

TFileStream::~TFileStream() = default;

int64_t TFileStream::Read(void *buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const qint64 n = m_file.read(static_cast<char *>(buffer), count);
    // A failing device must not look like the end of the data.
    if (n < 0)
        throw EReadError(FoundationStrings::StreamReadError());
    return n;
}

int64_t TFileStream::Write(const void *buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const qint64 n = m_file.write(static_cast<const char *>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t target;
    switch (origin) {
    case soBeginning:
        target = offset;
        break;
    case soCurrent:
        if (offset == 0)
            return m_file.pos();
        target = m_file.pos() + offset;
        break;
    case soEnd:
        target = m_file.size() + offset;
        break;
    default:
        return m_file.pos();
    }
    if (target < 0 || !m_file.seek(target))
        return m_file.pos();
    return target;
}

int64_t TFileStream::Size()
{
    return m_file.size();
}

void TFileStream::SetSize(int64_t size)
{
    if (!m_file.resize(size))
        throw EWriteError(FoundationStrings::StreamWriteError());
}

int64_t TMemoryStream::Read(void *buffer, int64_t count)
{
    const int64_t available = m_data.size() - m_position;
    const int64_t n = std::min(count, available);
    if (n <= 0)
        return 0;
    std::memcpy(buffer, m_data.constData() + m_position, n);
    m_position += n;
    return n;
}

int64_t TMemoryStream::Write(const void *buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const int64_t end = m_position + count;
    if (end > m_data.size())
        m_data.resize(end, '\0');
    std::memcpy(m_data.data() + m_position, buffer, count);
    m_position = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t target;
    switch (origin) {
    case soBeginning:
        target = offset;
        break;
    case soCurrent:
        target = m_position + offset;
        break;
    case soEnd:
        target = m_data.size() + offset;
        break;
    default:
        return m_position;
    }
    if (target >= 0)
        m_position = target;
    return m_position;
}

void TMemoryStream::SetSize(int64_t size)
{
    m_data.resize(std::max<int64_t>(size, 0), '\0');
    if (m_position > m_data.size())
        m_position = m_data.size();
}

void TMemoryStream::Clear()
{
    m_data.clear();
    m_position = 0;
}

TStringStream::TStringStream(const TEncoding *encoding)
    : m_encoding(encoding ? encoding : TEncoding::Ansi())
{}

TStringStream::TStringStream(const QString &text, const TEncoding *encoding)
    : TMemoryStream((encoding ? encoding : TEncoding::Ansi())->Encode(text))
    , m_encoding(encoding ? encoding : TEncoding::Ansi())
{}

QString TStringStream::DataString() const
{
    return m_encoding->Decode(Bytes());
}
