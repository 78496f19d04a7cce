// RTF written by other programs: the public corpus beside the checkout. Each
// input must read without error, keep its plain text through a write and a
// read, and give the text that the corpus states where it states one.

#include "richtext/RichTextBuffer.h"
#include "richtext/RtfFormat.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

QString CorpusDir()
{
    return QStringLiteral(QM_CORPORA_DIR "/rtf");
}

bool HaveCorpus()
{
    return QFile::exists(CorpusDir() + QStringLiteral("/MANIFEST.tsv"));
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QStringList CorpusInputs()
{
    QStringList inputs;
    const QList<QByteArray> rows = ReadFile(CorpusDir() + QStringLiteral("/MANIFEST.tsv")).split('\n');
    for (const QByteArray &row : rows) {
        const QList<QByteArray> cells = row.split('\t');
        if (cells.size() > 1 && cells[1] == "input" && cells[0].endsWith(".rtf"))
            inputs.append(QString::fromUtf8(cells[0]));
    }
    return inputs;
}

QString Load(const QString &relative)
{
    TRichTextBuffer buffer;
    buffer.LoadRtf(QByteArrayView(ReadFile(CorpusDir() + u'/' + relative)));
    return buffer.Text();
}

TEST(RtfCorpus, EveryInputReadsAndKeepsItsTextThroughAWrite)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "RTF corpus not found in " << CorpusDir().toStdString();
    const QStringList inputs = CorpusInputs();
    ASSERT_GT(inputs.size(), 100);
    for (const QString &input : inputs) {
        SCOPED_TRACE(input.toStdString());
        const QByteArray rtf = ReadFile(CorpusDir() + u'/' + input);
        TRichTextBuffer first;
        first.LoadRtf(QByteArrayView(rtf));
        const QByteArray written = first.Rtf();
        TRichTextBuffer second;
        EXPECT_EQ(second.LoadRtf(QByteArrayView(written)), QStringList());
        EXPECT_EQ(second.Text(), first.Text());
        EXPECT_EQ(second.Rtf(), written);
    }
}

TEST(RtfCorpus, PlainTextMatchesTheExpectedOutput)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "RTF corpus not found in " << CorpusDir().toStdString();
    // Files whose expected text follows conventions of the program that made
    // it rather than what the document says.
    const QStringList conventions{
        QStringLiteral("issue_38"),  // table cells end with "|" there, with a tab here
        QStringLiteral("issue_63"),  // list numbers are text there, numbering here
        QStringLiteral("hyperlink"), // links become "text(url)" there
        QStringLiteral("sample_3"),  // text after a stray closing brace is kept here
    };
    const QStringList files =
        QDir(CorpusDir() + QStringLiteral("/striprtf")).entryList({QStringLiteral("*.txt")});
    ASSERT_FALSE(files.isEmpty());
    int compared = 0;
    for (const QString &txt : files) {
        const QString base = txt.chopped(4);
        if (conventions.contains(base))
            continue;
        SCOPED_TRACE(base.toStdString());
        QString text = Load(QStringLiteral("striprtf/") + base + QStringLiteral(".rtf"));
        text.replace(u'\r', u'\n');
        text.replace(QChar(0x2028), u'\n');
        QString expected = QString::fromUtf8(ReadFile(CorpusDir() + QStringLiteral("/striprtf/") + txt));
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        // Final paragraph marks end the text here and add newlines there.
        while (expected.endsWith(u'\n'))
            expected.chop(1);
        while (text.endsWith(u'\n'))
            text.chop(1);
        EXPECT_EQ(text, expected);
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

struct TExpectation
{
    const char *file;
    const char16_t *contains;
};

const TExpectation g_expectations[] = {
    {"tika/testRTFWordPadCzechCharacters.rtf", u"\u010cl\u00e1nek t\u00fddne"},
    {"tika/testRTFWordPadCzechCharacters.rtf",
     u"starov\u011bk\u00e9 \u017eidovsk\u00e9 n\u00e1bo\u017eensk\u00e9 texty"},
    {"tika/testRTFWindowsCodepage1250.rtf",
     u"za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144"},
    {"tika/testRTFWindowsCodepage1250.rtf",
     u"ZA\u017b\u00d3\u0141\u0106 G\u0118\u015aL\u0104 JA\u0179\u0143"},
    {"tika/testRTFUmlautSpaces.rtf", u"\u00dcbersicht"},
    {"tika/testRTFHexEscapeInsideWord.rtf", u"ESP\u00cdRITO"},
    {"tika/testRTFUnicodeGothic.rtf", u"\U00010332\U0001033F\U00010344\U00010339\U00010343\U0001033A"},
    {"tika/testRTFTableCellSeparation.rtf", u"\u00e4"},
    {"tika/testRTFTableCellSeparation.rtf", u"\u00fc"},
    {"tika/testRTFUnicodeUCNControlWordCharacterDoubling.rtf", u"\u5e74"},
    {"tika/testRTFUnicodeUCNControlWordCharacterDoubling.rtf", u"\u5ff5"},
    {"tika/testRTFUnicodeUCNControlWordCharacterDoubling.rtf", u"abc"},
    {"tika/testRTF-ms932.rtf", u"\u3053\u3093\u306b\u3061\u306f"},
    {"tika/testRTFWithCurlyBraces.rtf", u"{ some text inside curly brackets }"},
    {"tika/testRTFInvalidUnicode.rtf", u"Unpaired hi \ufffd here"},
    {"tika/testRTFInvalidUnicode.rtf", u"Unpaired lo \ufffd here"},
    {"tika/testRTFInvalidUnicode.rtf", u"Mismatched pair \ufffd\ufffd here"},
    {"tika/testFontAfterBufferedText.rtf",
     u"\u0423\u0432\u0430\u0436\u0430\u0435\u043c\u044b\u0439 \u043a\u043b\u0438\u0435\u043d\u0442!"},
    {"tika/testRTFControls.rtf", u"Thiswordhasanem\u2014dash"},
    {"tika/testRTFControls.rtf", u"Thiswordhasanen\u2013dash"},
    {"tika/testRTFControls.rtf", u"Thiswordhasanon\u2011breakinghyphen"},
    {"tika/testRTFControls.rtf", u"Thiswordhasanonbreaking\u00a0space"},
    {"tika/testRTFControls.rtf", u"Thiswordhasanoptional\u00adhyphen"},
    {"tika/testRTFControls.rtf", u"\u2018Single quoted text\u2019"},
    {"tika/testRTFControls.rtf", u"\u201cDouble quoted text\u201d"},
    {"tika/testRTFVarious.rtf", u"Bullet 1"},
    {"tika/testRTFVarious.rtf", u"Number bullet 1"},
    {"libreoffice/rtfimport/fdo58646line.rtf", u"foo\u2028bar"},
    {"libreoffice/rtfimport/fdo68076.rtf", u"\u041e\u0431\u044a\u0435\u043a\u0442 \u2013 \u0443"},
    {"libreoffice/rtfexport/fdo48446.rtf", u"\u0418\u043c\u044f"},
    {"libreoffice/rtfimport/fdo85889-pc.rtf", u"\u00b1\u2265\u2264"},
    {"libreoffice/rtfimport/fdo77996.rtf", u"\u53a6\u95e8\u94a8\u4e1a\u80a1\u4efd\u6709\u9650\u516c\u53f8"},
    {"libreoffice/rtfexport/fdo82106.rtf", u"before\tafter"},
    {"rtfparserkit/testHex.rtf", u"ABC"},
    {"rtfparserkit/testGreekEncoding.rtf", u"\u20ac"},
    {"rtfparserkit/testGreekEncoding.rtf", u"\u03a9"},
    {"rtfpipe/RtfParserTest_0.rtf", u"{RTF}"},
    {"striprtf/issue_55_1.rtf", u"\u00fc"},
    {"striprtf/issue_55_1.rtf", u"\u0e40"},
};

TEST(RtfCorpus, TextHoldsWhatTheCorpusStates)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "RTF corpus not found in " << CorpusDir().toStdString();
    for (const TExpectation &e : g_expectations) {
        SCOPED_TRACE(e.file);
        const QString text = Load(QString::fromUtf8(e.file));
        const QString wanted = QString::fromUtf16(e.contains);
        EXPECT_TRUE(text.contains(wanted)) << wanted.toStdString() << " not in " << text.toStdString();
    }
}

struct TExact
{
    const char *file;
    const char16_t *text;
};

TEST(RtfCorpus, SmallFilesReadExactly)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "RTF corpus not found in " << CorpusDir().toStdString();
    const TExact cases[] = {
        {"libreoffice/rtfimport/hello.rtf", u"Hello world!"},
        {"libreoffice/rtfimport/fdo48356.rtf", u"Ma\u010dek"},
        {"libreoffice/rtfimport/fdo64671.rtf", u"\u017d"},
        {"libreoffice/rtfimport/fdo47326.rtf", u"Windows\u00aeXP: Cartes:"},
        {"libreoffice/rtfimport/fdo52389.rtf", u"\rdania!"},
        {"rtfpipe/minimal.rtf", u"foobar"},
    };
    for (const TExact &c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Load(QString::fromUtf8(c.file)), QString::fromUtf16(c.text));
    }
    EXPECT_FALSE(
        Load(QStringLiteral("libreoffice/rtfimport/bin-skipping.rtf")).contains(QStringLiteral("MUST NOT")));
}

struct TPictures
{
    const char *file;
    int images; // PNG and JPEG pictures shown
    int kept;   // groups kept as they are
};

TEST(RtfCorpus, PicturesShowAndOtherObjectsAreKept)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "RTF corpus not found in " << CorpusDir().toStdString();
    const TPictures cases[] = {
        {"pandoc/image.rtf", 1, 0},                // JPEG in \bin data
        {"rtfjs/samples/simplepngbin.rtf", 1, 0},  // PNG in \bin data
        {"rtfjs/simplepict/source.rtf", 0, 3},     // metafiles
        {"rtfpipe/PictureObjectEmbed2.rtf", 0, 1}, // an embedded object
    };
    for (const TPictures &c : cases) {
        SCOPED_TRACE(c.file);
        TRichTextBuffer buffer;
        buffer.LoadRtf(QByteArrayView(ReadFile(CorpusDir() + u'/' + QString::fromUtf8(c.file))));
        int images = 0;
        int kept = 0;
        for (QTextBlock block = buffer.Document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.isImageFormat())
                    images += it.fragment().length();
                else if (format.objectType() == RtfFormat::RawObjectType)
                    kept += it.fragment().length();
            }
        }
        EXPECT_EQ(images, c.images);
        EXPECT_EQ(kept, c.kept);
    }
}

} // namespace
