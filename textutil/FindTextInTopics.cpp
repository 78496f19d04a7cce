#include "textutil/FindTextInTopics.h"

#include "quillmarkdoc/QMTopics.h"
#include "quillmarkdoc/QuillmarkDoc.h"

int FindTextInTopics(const TQuillmarkDoc &doc, TRichTextBuffer &buffer, int &topicIndex, int direction,
                     TFindOptions options, const QString &text)
{
    const TQMTopics &topics = *doc.Topics();
    while (topicIndex >= 0 && topicIndex < topics.Count()) {
        buffer.LoadLines(topics.Items(topicIndex)->Text()->ToQStringList());
        const int position = buffer.Find(text, 0, buffer.Length(), options);
        if (position >= 0)
            return position;
        topicIndex += direction < 0 ? -1 : 1;
    }
    return -1;
}
