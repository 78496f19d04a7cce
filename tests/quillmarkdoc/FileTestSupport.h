#pragma once

// Shared by the reader and writer tests: project files as lines, and the
// document as the JSON of its published properties, which compares every
// field at once and shows the difference as text.

#include "foundation/CodePage.h"
#include "foundation/Stream.h"
#include "foundation/TextEncoding.h"
#include "quillmarkdoc/QMJson.h"
#include "quillmarkdoc/QuillmarkDoc.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace FileTest {

// The lines joined with CR LF after each, in Windows-1252.
inline QByteArray Lines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += CodePage1252::Encode(line);
        bytes += "\r\n";
    }
    return bytes;
}

// A version-16 header with the defaults of new options.
inline QStringList Header(int version = 16)
{
    QStringList lines = {QStringLiteral("Quillmark project file."),
                         QString::number(version),
                         QString(),
                         QStringLiteral("0"),
                         QStringLiteral("1"),
                         QStringLiteral("Title"),
                         QString(),
                         QString(),
                         QString(),
                         QStringLiteral("FALSE"),
                         QString(),
                         QString(),
                         QStringLiteral("0"),
                         QStringLiteral("0"),
                         QStringLiteral("FALSE"),
                         QString(),
                         QStringLiteral("FALSE")};
    if (version > 10)
        lines << QStringLiteral("TRUE") << QStringLiteral("1") << QStringLiteral("2") << QStringLiteral("3")
              << QStringLiteral("4") << QStringLiteral("5");
    if (version > 11)
        lines << QStringLiteral("FALSE") << QStringLiteral("FALSE") << QStringLiteral("FALSE");
    if (version > 13)
        lines << QStringLiteral("FALSE");
    if (version > 15)
        lines << QStringLiteral("150") << QStringLiteral("50") << QStringLiteral("600")
              << QStringLiteral("500") << QStringLiteral("TRUE");
    if (version > 14)
        lines << QStringLiteral("FALSE");
    if (version > 12)
        lines << QStringLiteral("1") << QStringLiteral("FALSE") << QStringLiteral("FALSE") << QString()
              << QString() << QString() << QString() << QString() << QString() << QStringLiteral("FALSE")
              << QString();
    return lines;
}

// Window definitions, contents links, contents indices, contents and macros,
// all empty.
inline QStringList EmptyTail()
{
    return {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
            QStringLiteral("0")};
}

// One topic record with a one-line body.
inline QStringList TopicRecord(int number, const QString &title, const QString &contextString = QString(),
                               const QString &browse = QString())
{
    return {QString::number(number),
            contextString,
            title,
            QString(),
            QString(),
            QString(),
            browse,
            QStringLiteral("Done"),
            QString(),
            QString(),
            QString(),
            QStringLiteral("FALSE"),
            QStringLiteral("1"),
            QStringLiteral("{\\rtf1 ") + title + QLatin1Char('}')};
}

inline void Load(TQuillmarkDoc &doc, const QByteArray &bytes, const TEncoding *encoding = nullptr)
{
    TMemoryStream stream(bytes);
    doc.LoadFromStream(stream, encoding);
}

inline QByteArray Save(TQuillmarkDoc &doc, const TEncoding *encoding = nullptr)
{
    TMemoryStream stream;
    doc.SaveToStream(stream, encoding);
    return stream.Bytes();
}

// Everything the project file carries, as published.
inline QByteArray Json(const TQuillmarkDoc &doc)
{
    QByteArray out;
    QMJson::AppendObject(out, *doc.Options());
    out += '\n';
    for (int i = 0; i < doc.Topics()->Count(); ++i) {
        QMJson::AppendObject(out, *doc.Topics()->Items(i));
        out += '\n';
    }
    QMJson::AppendStringArray(out, doc.WindowDefinitions()->ToQStringList());
    QMJson::AppendStringArray(out, doc.ContentsLinks()->ToQStringList());
    QMJson::AppendStringArray(out, doc.ContentsIndices()->ToQStringList());
    out += '\n';
    for (int i = 0; i < doc.Contents()->Count(); ++i) {
        QMJson::AppendObject(out, *doc.Contents()->Items(i));
        out += '\n';
    }
    for (int i = 0; i < doc.TextMacros()->Count(); ++i) {
        QMJson::AppendObject(out, *doc.TextMacros()->Items(i));
        out += '\n';
    }
    return out;
}

} // namespace FileTest
