#pragma once

// Link markup over the text of a rich-text buffer, where braces are not
// escaped: finding a link after a text the user names, and turning the
// selected text into a link.
//
// Only the markup tables of the document model are used here, not the
// document itself, so this unit can sit beside the rich-text engine.

#include "quillmarkdoc/QMLinkMarkup.h"

#include <QString>

class TRichTextBuffer;

// Finds the anchor text (case-insensitive) at or after position (0-based
// buffer offset) that is followed, after blanks, by a link markup. position
// becomes the anchor's offset and the length runs from there through the
// markup's closing brace. Nothing found: an empty target.
TLinkInfo FindLinkInControl(const TRichTextBuffer &buffer, const QString &anchor, int &position);

// Turns the buffer's selection into the hot spot of a link: formats it,
// inserts the markup behind it, selects the markup and returns it (in the
// editor's plain form). useDelphiLinks is the document's setting that
// decides how class-library links are written.
QString MakeLink(TRichTextBuffer &buffer, const QString &target, const QString &windowName, bool popup,
                 TLinkType type, TLinkedTextStyle style, const QString &fileName, const QString &memberKind,
                 bool useDelphiLinks);
