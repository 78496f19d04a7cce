#include "QtPrinters.h"

#include "quillmarkdoc/QuillmarkDoc.h"
#include "textutil/QMSystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

class SystemClipboard : public testing::Test
{
protected:
    SystemClipboard() { TQMClipboard::Install(&clipboard); }
    ~SystemClipboard() override { TQMClipboard::Install(nullptr); }

    TQMSystemClipboard clipboard;
};

TEST_F(SystemClipboard, CarrierTravelsUnderTheProgramsMimeType)
{
    TQuillmarkDoc source;
    TQMTopic *topic = source.Topics()->Add();
    topic->SetTopicID(12);
    topic->SetTitle(QStringLiteral("Copied"));
    topic->SetSelected(true);
    source.CopyTopicsToClipboard();

    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(nullptr, mime);
    EXPECT_TRUE(mime->hasFormat(QStringLiteral("application/x-quillmark-clipboard")));

    TQuillmarkDoc target;
    EXPECT_TRUE(target.CanPaste({cftTopic}));
    target.PasteFromClipboard();
    ASSERT_EQ(1, target.Topics()->Count());
    EXPECT_EQ(12, target.Topics()->Items(0)->TopicID());
    EXPECT_EQ(QStringLiteral("Copied"), target.Topics()->Items(0)->Title());
}

TEST_F(SystemClipboard, OtherContentIsNotPasted)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("1\r\n1 plain text"));
    TQuillmarkDoc doc;
    EXPECT_FALSE(doc.CanPaste({cftTopic, cftTopicInfo, cftTOC}));
    doc.PasteFromClipboard();
    EXPECT_EQ(0, doc.Contents()->Count());

    // Another program's bytes under our type: refused with a message.
    auto mime = std::make_unique<QMimeData>();
    mime->setData(TQMClipboardFormat::MimeType(), QByteArray("garbage"));
    QGuiApplication::clipboard()->setMimeData(mime.release());
    EXPECT_FALSE(doc.CanPaste({cftTopic, cftTopicInfo, cftTOC}));
    EXPECT_THROW(doc.PasteFromClipboard(), EQMException);
}

} // namespace
