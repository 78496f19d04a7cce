#pragma once

// Link markup inside topic text. Links are not RTF fields but plain text the
// author types after the hot spot, in braces; in the stored RTF the braces
// are escaped ("\{linkID=10\}"). One scanner and one set of tables serve the
// document, the editor and the wizards.
//
// This header needs only QtCore, so code that also works with the rich-text
// engine can include it without the document model.

#include "foundation/EnumSet.h"

#include <QObject>
#include <QString>
#include <QStringView>

#include <array>
#include <initializer_list>

namespace QMLinkEnums {
Q_NAMESPACE

enum TLinkType {
    ltNormal,        // topic of this project, by number
    ltQuillmarkFile, // topic of another project's help file, by number
    ltHelpFile,      // topic of any other help file, by context string
    ltMacro,         // a help macro
    ltInternet,      // a web address
    ltTarget,
    ltDelphiObject,
    ltDelphiProperty,
    ltDelphiMethod,
    ltDelphiEvent,
    ltDelphiType
};
Q_ENUM_NS(TLinkType)

enum TLinkedTextStyle { ltsGreenUnderline, ltsNone, ltsUnderline };
Q_ENUM_NS(TLinkedTextStyle)

} // namespace QMLinkEnums

using QMLinkEnums::TLinkedTextStyle;
using QMLinkEnums::TLinkType;
using enum QMLinkEnums::TLinkType;
using enum QMLinkEnums::TLinkedTextStyle;

constexpr int LinkTypeCount = ltDelphiType + 1;

// A set of link types.
using TLinkTypes = TEnumSet<TLinkType>;

// One row of the markup tables, RTF form (escaped braces). Format
// placeholders are "%s"; "%%" stands for a percent sign.
struct TLinkMarkup
{
    QStringView opening;
    QStringView closing;
    QStringView keyword; // empty: none
    QStringView format;
};

namespace QMLinkMarkup {

const TLinkMarkup &Markup(TLinkType type);
// "", "%" or "*".
QStringView StylePrefix(TLinkedTextStyle style);
// The class-library form that names the member kind itself, as links are
// made when the document's UseDelphiLinks is set.
QStringView DelphiMemberFormat();
// The web search, restricted to the class library's documentation site,
// that class-library links become without UseDelphiLinks; "%s" is the name.
QStringView WebSearchFormat();

// Fills every "%s" in order (missing values are empty, surplus ones are
// ignored) and turns "%%" into "%".
QString FillFormat(QStringView format, std::initializer_list<QStringView> values);
// The editor's plain form of an RTF markup or format: every backslash gone.
QString PlainForm(QStringView rtf);

// Removes RTF control words: a backslash followed by anything but a
// backslash or a brace starts one, which runs up to and including the next
// space, CR or LF. Escaped backslashes and braces stay.
QString RemoveControlWords(QStringView text);

} // namespace QMLinkMarkup

// What the scanner reports. An empty target means that nothing was found.
struct TLinkInfo
{
    QString target;
    int length = 0;
    TLinkedTextStyle style = ltsGreenUnderline;
    TLinkType type = ltNormal;

    bool Found() const { return !target.isEmpty(); }
};

// The outcome of recognising one candidate "\{...\}".
enum class TMarkupResult {
    NotALink, // too short, or not starting with "\{link": look further
    NoForm,   // a link that matches no form: the scan stops here
    Link
};

// Recognises one candidate that starts with "\{" and ends with "\}".
TMarkupResult RecognizeLinkMarkup(QStringView markup, TLinkInfo &info);

// Finds the next link at or after position (0-based) in RTF text. With the
// anchor "\{" the position is set to the backslash that starts the markup;
// with any other anchor (a section heading) to the anchor that is followed,
// after blanks and control words only, by a link. The length is that of the
// markup. Never raises, whatever the text.
TLinkInfo FindLink(QStringView text, QStringView anchor, int &position);

// FindLink repeated, each time behind the link found, until one of a type of
// the set turns up or nothing is left.
TLinkInfo FindLinkOfType(QStringView text, TLinkTypes types, int &position, QStringView anchor);

inline constexpr QStringView LinkAnchor = u"\\{";
