#pragma once

// A text macro's operation on the editor: applying its format to the
// selection of a rich-text buffer. It belongs to the macro, but it is kept
// here beside the rich-text engine it drives, so that the document model
// stays free of the engine (and of the GUI library the engine needs).
//
// Units: the macro's LeftMargin, RightMargin, Indent and tab positions are
// the paragraph measures of the editor control, twips, and reach the buffer
// unchanged (the RTF the engine writes carries them as \li, \ri, \fi and \tx).

class TQMTextMacro;
class TRichTextBuffer;

// Applies colour, font name, style and size to the selected characters, and
// numbering (a bullet or none), alignment, the three indents and the tab
// stops to every paragraph the selection touches. A syntax macro raises
// EQMException "Feature disabled" before anything changes. A tab entry that
// is not an integer raises the integer conversion error once the other
// attributes are applied; the tab stops then stay as they were.
void ApplyTextMacro(const TQMTextMacro &macro, TRichTextBuffer &buffer);
