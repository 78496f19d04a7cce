#pragma once

// The document's search across its topics. It belongs to the document, but
// it is kept here beside the rich-text engine it drives, so that the
// document model stays free of the engine (and of the GUI library the
// engine needs).

#include "richtext/RichTextBuffer.h"

#include <QString>

class TQuillmarkDoc;

// Starting with topic topicIndex and stepping one topic back when direction
// is negative, forward otherwise: loads each topic's text into buffer
// (replacing its content) and searches all of it for text with the options.
// Returns the offset of the first match in the topic, topicIndex naming
// that topic; -1 when no topic from there on has a match, topicIndex then
// standing just outside the topics (-1 or the topic count). A topicIndex
// outside the topics searches nothing.
int FindTextInTopics(const TQuillmarkDoc &doc, TRichTextBuffer &buffer, int &topicIndex, int direction,
                     TFindOptions options, const QString &text);
