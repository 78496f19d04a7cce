#pragma once

// Links of the document model: the scanner over a topic's text, the link
// definitions the link dialogs keep, and the renumbering of topic links
// through an old-to-new number map.

#include "foundation/GHashTable.h"
#include "foundation/Structures.h"
#include "quillmarkdoc/QMLinkMarkup.h"

#include <QString>

#include <optional>

class TQMTopic;

// FindLink over the topic's text taken as one string, lines joined with
// CR LF: with the anchor "\{" it enumerates the topic's links.
TLinkInfo FindTopicLink(const TQMTopic &topic, QStringView anchor, int &position);

// Rewrites the targets of the topic's ltNormal links through the map; the
// text is stored back only when a link changed. The map cannot hold the
// number 0, so zeroTo says what 0 becomes (pasting maps it like any other
// number). Any failure is an EQMException naming the topic, and the text
// stays as it was.
void RenumberTopicLinks(TQMTopic &topic, const TGHashIntTable &map,
                        std::optional<int32_t> zeroTo = std::nullopt);

// A link definition: the text the link is made on and where it leads.
class TQMLink : public TGCollectionItem
{
    Q_GADGET
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QMLinkEnums::TLinkType LinkType READ LinkType WRITE SetLinkType)
    Q_PROPERTY(QMLinkEnums::TLinkedTextStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool Popup READ Popup WRITE SetPopup)
    Q_PROPERTY(QString Topic READ Topic WRITE SetTopic)
    Q_PROPERTY(QString SubTopic READ SubTopic WRITE SetSubTopic)
    Q_PROPERTY(QString Filename READ Filename WRITE SetFilename)
    Q_PROPERTY(QString WindowName READ WindowName WRITE SetWindowName)

public:
    QM_METAOBJECT

    explicit TQMLink(TCollection *collection = nullptr);
    ~TQMLink() override;

    const QString &Text() const { return m_text; }
    void SetText(const QString &value);
    TLinkType LinkType() const { return m_linkType; }
    void SetLinkType(TLinkType value);
    TLinkedTextStyle Style() const { return m_style; }
    void SetStyle(TLinkedTextStyle value);
    bool Popup() const { return m_popup; }
    void SetPopup(bool value);
    // Topic number, context string, macro, web address or class-library name.
    const QString &Topic() const { return m_topic; }
    void SetTopic(const QString &value);
    // The member kind of a class-library link.
    const QString &SubTopic() const { return m_subTopic; }
    void SetSubTopic(const QString &value);
    const QString &Filename() const { return m_filename; }
    void SetFilename(const QString &value);
    const QString &WindowName() const { return m_windowName; }
    void SetWindowName(const QString &value);

    // All eight fields, one change notification.
    void Assign(const TPersistent *source) override;
    // Text followed by the markup in the editor's plain form.
    QString GetDisplayName() const override;
    // Whether the definition says enough to make a link; incomplete ones are
    // drawn differently.
    bool IsComplete() const;

private:
    void Store(QString &field, const QString &value);

    QString m_text;
    TLinkType m_linkType = ltNormal;
    TLinkedTextStyle m_style = ltsGreenUnderline;
    bool m_popup = false;
    QString m_topic;
    QString m_subTopic;
    QString m_filename;
    QString m_windowName;
};

class TQMLinks : public TGCollection
{
    Q_GADGET

public:
    QM_METAOBJECT

    explicit TQMLinks(TPersistent *owner = nullptr);
    ~TQMLinks() override;

    TQMLink *Add() { return static_cast<TQMLink *>(TCollection::Add()); }
    TQMLink *Items(int index) const { return static_cast<TQMLink *>(TCollection::Items(index)); }
    // The first definition whose Text equals the text case-insensitively;
    // -1 if none.
    int IndexOfText(const QString &text) const;
};
