// Arbitrary bytes as the clipboard's content under the program's MIME type,
// pasted into a document with a current topic and contents entry. A paste
// may refuse the data with a message, but it must never crash, and the
// document must stay consistent: numbers ascending, counts in step. The same
// bytes also go through the link markup scanner.

#include "foundation/Exceptions.h"
#include "quillmarkdoc/QMClipboard.h"
#include "quillmarkdoc/QMLinkMarkup.h"
#include "quillmarkdoc/QuillmarkDoc.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

void Require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_clipboard: %s\n", what);
        __builtin_trap();
    }
}

void Prepare(TQuillmarkDoc &doc)
{
    for (int number : {1, 2, 10}) {
        TQMTopic *topic = doc.Topics()->Add();
        topic->SetTopicID(number);
    }
    doc.SetTopicIndex(1);
    doc.Contents()->Add()->SetLevel(2);
    doc.SetContentIndex(0);
}

void CheckConsistent(const TQuillmarkDoc &doc)
{
    const TQMTopics &topics = *doc.Topics();
    int selected = 0;
    for (int i = 0; i < topics.Count(); ++i) {
        if (i > 0)
            Require(topics.Items(i - 1)->TopicID() <= topics.Items(i)->TopicID(), "topics out of order");
        Require(topics.FindTopic(topics.Items(i)->TopicID()) != nullptr, "number lookup lost a topic");
        selected += topics.Items(i)->Selected() ? 1 : 0;
    }
    Require(selected == topics.SelectedCount(), "selected count out of step");
    Require(topics.UpdateCount() == 0 && doc.Contents()->UpdateCount() == 0, "update bracket left open");
}

void Paste(TQuillmarkDoc &doc)
{
    try {
        doc.PasteFromClipboard();
    } catch (const Exception &) {
        // Refused or partly pasted, with a message: both are fine.
    }
}

// The markup scanner over the same bytes: every link it reports lies inside
// the text, and enumerating always moves forward.
void Scan(const QString &text)
{
    for (QStringView anchor : {LinkAnchor, QStringView(u"See Also")}) {
        int position = 0;
        for (TLinkInfo link = FindLink(text, anchor, position); link.Found();
             link = FindLink(text, anchor, position)) {
            Require(position >= 0 && link.length >= 2 && position + link.length <= text.size(),
                    "link out of bounds");
            position += link.length;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TQMMemoryClipboard clipboard;
    TQMClipboard::Install(&clipboard);

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Scan(QString::fromLatin1(bytes));
    // As raw carrier bytes, and as the payload of a well-formed carrier of
    // each format, so the payload reader is reached too.
    {
        TQuillmarkDoc doc;
        Prepare(doc);
        clipboard.SetCarrierData(bytes);
        Paste(doc);
        CheckConsistent(doc);
    }
    for (TQMClipboardFormatType format : {cftTopic, cftTopicInfo, cftTOC}) {
        TQuillmarkDoc doc;
        Prepare(doc);
        TQMClipboardFormat carrier;
        carrier.SetFormat(format);
        carrier.SetText(QString::fromLatin1(bytes));
        clipboard.SetCarrierData(carrier.Serialize());
        Paste(doc);
        CheckConsistent(doc);
        // And once more without a current topic.
        doc.SetTopicIndex(-1);
        Paste(doc);
        CheckConsistent(doc);
    }

    TQMClipboard::Install(nullptr);
    return 0;
}
