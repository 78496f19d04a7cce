// Another RTF reader must find the same text in what the writer writes. The
// documents are converted to UTF-8 text by LibreOffice in one run; the test
// skips itself when soffice is not installed.

#include "richtext/RichTextBuffer.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TDocument
{
    const char *name;
    std::function<void(TRichTextBuffer &)> build;
};

void Select(TRichTextBuffer &b, const QString &text)
{
    b.SetSelection(int(b.Text().indexOf(text)), int(text.size()));
}

void Bullets(TRichTextBuffer &b, int firstLine, int count, TParaNumbering numbering)
{
    b.SetSelection(b.LineStart(firstLine), b.LineStart(firstLine + count - 1) + 1 - b.LineStart(firstLine));
    TParaAttributes p;
    p.numbering = numbering;
    p.firstIndent = -360;
    p.leftIndent = 720;
    b.SetParaAttributes(p,
                        TParaAttribute::Numbering | TParaAttribute::FirstIndent | TParaAttribute::LeftIndent);
}

const TDocument g_documents[] = {
    {"formatting",
     [](TRichTextBuffer &b) {
         b.SetPlainText(QStringLiteral("Bold italic and coloured words\rin two fonts and sizes"));
         Select(b, QStringLiteral("Bold"));
         b.SetSelStyle(fsBold);
         Select(b, QStringLiteral("italic"));
         b.SetSelStyle(fsItalic | fsUnderline);
         Select(b, QStringLiteral("coloured"));
         b.SetSelColor(QColor(200, 0, 0));
         b.SetSelBackground(QColor(255, 255, 0));
         Select(b, QStringLiteral("two fonts"));
         b.SetSelFontName(QStringLiteral("Courier New"));
         b.SetSelSize(18);
     }},
    {"bullets",
     [](TRichTextBuffer &b) {
         b.SetPlainText(QStringLiteral("Intro\rfirst item\rsecond item\rbetween\rone\rtwo\rafter"));
         Bullets(b, 1, 2, TParaNumbering::Bullet);
         Bullets(b, 4, 2, TParaNumbering::Decimal);
     }},
    {"windows1252",
     [](TRichTextBuffer &b) {
         b.SetPlainText(
             QStringLiteral("caf\u00e9 \u2013 \u201cquoted\u201d \u20ac 5 \u00df \u00c6\u00d8\u00c5 \u2122"));
     }},
    {"unicode",
     [](TRichTextBuffer &b) {
         b.SetPlainText(QStringLiteral("\u0416\u0443\u043a \u4e2d\u6587 \u03a9\u03bc\u03ad\u03b3\u03b1 "
                                       "\U0001F600 \u0950"));
         Select(b, QStringLiteral("\u4e2d\u6587"));
         b.SetSelStyle(fsBold);
     }},
    {"braces",
     [](TRichTextBuffer &b) {
         b.SetPlainText(QStringLiteral("see {linkID=12} and {popupID=7} in C:\\docs\\file"));
     }},
    {"tabs",
     [](TRichTextBuffer &b) {
         b.SetPlainText(QStringLiteral("name\tvalue\tnote\rx\t1\t"));
         TParaAttributes p;
         p.tabs = {1440, 2880};
         b.SelectAll();
         b.SetParaAttributes(p, TParaAttribute::Tabs);
     }},
};

QString StripBom(QString text)
{
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

TEST(RtfWriterAgainstLibreOffice, AnotherReaderFindsTheSameText)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice not installed (package libreoffice-writer-nogui)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList files;
    for (const TDocument &d : g_documents) {
        TRichTextBuffer b;
        d.build(b);
        const QString path = dir.filePath(QString::fromLatin1(d.name) + QStringLiteral(".rtf"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(b.Rtf());
        files.append(path);
    }
    QProcess process;
    QStringList arguments{QStringLiteral("-env:UserInstallation=") +
                              QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString(),
                          QStringLiteral("--headless"),
                          QStringLiteral("--convert-to"),
                          QStringLiteral("txt:Text (encoded):UTF8"),
                          QStringLiteral("--outdir"),
                          dir.filePath(QStringLiteral("out"))};
    arguments += files;
    process.start(soffice, arguments);
    ASSERT_TRUE(process.waitForFinished(180000)) << "soffice did not finish";
    for (const TDocument &d : g_documents) {
        SCOPED_TRACE(d.name);
        TRichTextBuffer b;
        d.build(b);
        QFile out(
            dir.filePath(QStringLiteral("out/") + QString::fromLatin1(d.name) + QStringLiteral(".txt")));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << process.readAllStandardError().toStdString();
        QString converted = StripBom(QString::fromUtf8(out.readAll()));
        converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QStringList theirs = converted.split(u'\n');
        if (!theirs.isEmpty() && theirs.last().isEmpty())
            theirs.removeLast();
        ASSERT_EQ(theirs.size(), b.LineCount()) << converted.toStdString();
        for (int line = 0; line < b.LineCount(); ++line) {
            b.SetSelection(b.LineStart(line), 0);
            const QString ours = b.Line(line);
            if (b.ParaAttributes().numbering != TParaNumbering::None) {
                // The other reader writes the bullet or number in front of the text.
                EXPECT_TRUE(theirs[line].endsWith(ours) && theirs[line].size() > ours.size())
                    << theirs[line].toStdString() << " / " << ours.toStdString();
            } else {
                EXPECT_EQ(theirs[line], ours);
            }
        }
    }
}

} // namespace
