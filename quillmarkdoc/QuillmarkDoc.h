#pragma once

// The document: one help project in memory. It owns the options, topics,
// table of contents, text macros, statuses and the lists the project file
// carries, keeps them consistent, numbers new topics, raises an event for
// every change so the windows can follow, and tracks unsaved changes.

#include "foundation/Font.h"
#include "foundation/Persistent.h"
#include "foundation/StringList.h"
#include "foundation/Structures.h"
#include "quillmarkdoc/QMClipboard.h"
#include "quillmarkdoc/QMContents.h"
#include "quillmarkdoc/QMException.h"
#include "quillmarkdoc/QMOptions.h"
#include "quillmarkdoc/QMStatuses.h"
#include "quillmarkdoc/QMTextMacros.h"
#include "quillmarkdoc/QMTopics.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TQuillmarkDoc : public TPersistent
{
    Q_GADGET
    Q_PROPERTY(TFont *Font READ Font WRITE SetFont)
    Q_PROPERTY(TQMContentsItems *Contents READ Contents WRITE SetContents)
    Q_PROPERTY(int ContentIndex READ ContentIndex WRITE SetContentIndex)
    Q_PROPERTY(bool UseDelphiLinks READ UseDelphiLinks WRITE SetUseDelphiLinks)
    Q_PROPERTY(TQMProjectOptions *Options READ Options WRITE SetOptions)
    Q_PROPERTY(TRecentFiles *RecentFiles READ RecentFiles WRITE SetRecentFiles)
    Q_PROPERTY(TQMStatuses *Statuses READ Statuses WRITE SetStatuses)
    Q_PROPERTY(TQMTextMacros *TextMacros READ TextMacros WRITE SetTextMacros)
    Q_PROPERTY(TQMTopics *Topics READ Topics WRITE SetTopics)
    Q_PROPERTY(int TopicGrid READ TopicGrid WRITE SetTopicGrid)
    Q_PROPERTY(int TopicIncrement READ TopicIncrement WRITE SetTopicIncrement)
    Q_PROPERTY(bool TopicGridEnabled READ TopicGridEnabled WRITE SetTopicGridEnabled)
    Q_PROPERTY(int TopicIndex READ TopicIndex WRITE SetTopicIndex)
    Q_PROPERTY(float Version READ Version WRITE SetVersion)
    Q_PROPERTY(QStringList ContentsLinks READ ContentsLinksStrings WRITE SetContentsLinksStrings)
    Q_PROPERTY(QStringList ContentsIndices READ ContentsIndicesStrings WRITE SetContentsIndicesStrings)
    Q_PROPERTY(QStringList WindowDefinitions READ WindowDefinitionsStrings WRITE SetWindowDefinitionsStrings)
    Q_PROPERTY(int UndoStackSize READ UndoStackSize WRITE SetUndoStackSize)
    Q_PROPERTY(QString QMLocation READ QMLocation WRITE SetQMLocation)

public:
    QM_METAOBJECT

    using TQMContentsEvent = std::function<void(TObject *sender, TQMContentsItem *item)>;
    using TQMTopicEvent = std::function<void(TObject *sender, TQMTopic *topic)>;
    using TQMTextMacroEvent = std::function<void(TObject *sender, TQMTextMacro *macro)>;

    // The owner is only remembered (a clone gets the same one); whoever
    // creates the document owns it.
    explicit TQuillmarkDoc(QObject *owner = nullptr);
    // Detaches every handler before anything is torn down, so no window
    // code runs while the collections go.
    ~TQuillmarkDoc() override;

    QObject *Owner() const { return m_owner; }

    // ---- published

    // Setting it copies; every change rebases the status fonts, then raises
    // OnFontChange.
    TFont *Font() const { return m_font.get(); }
    void SetFont(const TFont *value);
    TQMContentsItems *Contents() const { return m_contents.get(); }
    void SetContents(const TQMContentsItems *value);
    // -1 or an index of Contents; other values are ignored. Raises
    // OnContentChange.
    int ContentIndex() const { return m_contentIndex; }
    void SetContentIndex(int value);
    bool UseDelphiLinks() const { return m_useDelphiLinks; }
    void SetUseDelphiLinks(bool value) { m_useDelphiLinks = value; }
    TQMProjectOptions *Options() const { return m_options.get(); }
    void SetOptions(const TQMProjectOptions *value);
    TRecentFiles *RecentFiles() const { return m_recentFiles.get(); }
    void SetRecentFiles(const TRecentFiles *value);
    TQMStatuses *Statuses() const { return m_statuses.get(); }
    void SetStatuses(const TQMStatuses *value);
    TQMTextMacros *TextMacros() const { return m_textMacros.get(); }
    void SetTextMacros(const TQMTextMacros *value);
    TQMTopics *Topics() const { return m_topics.get(); }
    void SetTopics(const TQMTopics *value);
    // Above 0; other values are ignored.
    int TopicGrid() const { return m_topicGrid; }
    void SetTopicGrid(int value);
    // Above 0; other values are ignored. Raises OnChange.
    int TopicIncrement() const { return m_topicIncrement; }
    void SetTopicIncrement(int value);
    bool TopicGridEnabled() const { return m_topicGridEnabled; }
    void SetTopicGridEnabled(bool value) { m_topicGridEnabled = value; }
    // -1 or an index of Topics; other values are ignored. Raises OnChange.
    int TopicIndex() const { return m_topicIndex; }
    void SetTopicIndex(int value);
    float Version() const { return m_version; }
    void SetVersion(float value) { m_version = value; }
    // Changes raise OnChange and set Modified.
    TStringList *ContentsLinks() const { return m_contentsLinks.get(); }
    void SetContentsLinks(const TStringList *value);
    TStringList *ContentsIndices() const { return m_contentsIndices.get(); }
    void SetContentsIndices(const TStringList *value);
    // Changes raise OnWindowDefChange only.
    TStringList *WindowDefinitions() const { return m_windowDefinitions.get(); }
    void SetWindowDefinitions(const TStringList *value);
    // Raises OnUndoSizeChange.
    int UndoStackSize() const { return m_undoStackSize; }
    void SetUndoStackSize(int value);
    const QString &QMLocation() const { return m_qmLocation; }
    void SetQMLocation(const QString &value);

    // ---- state

    // Unsaved changes. Setting it stores the flag and raises nothing.
    bool Modified() const { return m_modified; }
    void SetModified(bool value) { m_modified = value; }
    // Sets Modified and raises OnChange.
    void Changed();

    // ---- numbering

    // The step after n: the next multiple of TopicGrid above n when the grid
    // is enabled, else n + TopicIncrement (32-bit wrap-around).
    int NextTopicID(int number) const;
    // The first number, stepping from the topic at afterIndex (or the last
    // topic; 0 when there are none), that no topic has; ownNumber counts as
    // free, -1 for none.
    int NextFreeTopicID(int afterIndex, int ownNumber) const;

    // ---- whole-document operations

    // The standard text macros and statuses, where missing. Neither makes the
    // document look edited.
    void EnsureDefaultMacros();
    void EnsureDefaultStatuses();

    // Empties the document for a new project: current topic, contents,
    // macros (then the standard ones again), topics and the three lists.
    // Options, statuses, recent files, font, QMLocation and the numbering
    // settings stay. Raises OnChange and clears Modified.
    void Clear();

    // From another document: everything that makes up the project, the
    // numbering settings, recent files and the Modified flag; not the font,
    // the statuses, ContentIndex, UseDelphiLinks or any handler.
    void Assign(const TPersistent *source) override;
    // A new document with the same owner, assigned from this one.
    std::unique_ptr<TQuillmarkDoc> Clone() const;

    // ---- project file and settings block (QMReader.cpp, QMWriter.cpp)

    // A null encoding: detected from the byte-order mark when reading, the
    // ANSI code page when writing. Loading replaces topics, contents, macros
    // and the three lists and clears Modified; a successful file load adds
    // the name to RecentFiles.
    void LoadFromFile(const QString &fileName, const class TEncoding *encoding = nullptr);
    void LoadFromStream(class TStream &stream, const class TEncoding *encoding = nullptr);
    // From the stream's position; never changes Modified.
    void LoadSettingsFromStream(class TStream &stream, const class TEncoding *encoding = nullptr);
    // Replaces the file only once it is completely written; a document the
    // ANSI code page cannot hold is saved as UTF-8 when no encoding is given.
    // The name enters RecentFiles once the file could be opened; Modified is
    // cleared when the new file is in place.
    void SaveToFile(const QString &fileName, const class TEncoding *encoding = nullptr);
    // Clears Modified, also when writing fails.
    void SaveToStream(class TStream &stream, const class TEncoding *encoding = nullptr);
    void SaveSettingsToStream(class TStream &stream, const class TEncoding *encoding = nullptr);

    // ---- links (QMLinks.cpp)

    // Rewrite the targets of ltNormal links through an old-to-new number map,
    // in one topic or in every topic in collection order. A failure is an
    // EQMException naming the topic, whose text stays as it was; topics
    // before it keep their new text.
    void RenumberLinks(TQMTopic *topic, const class TGHashIntTable &map);
    void RenumberAllLinks(const class TGHashIntTable &map);

    // ---- clipboard exchange (QMClipboard.cpp)

    // The selected topics, the current topic (nothing without one), the
    // selected contents entries.
    void CopyTopicsToClipboard();
    void CopyTopicToClipboard();
    void CopyContentsToClipboard();
    bool CanPaste(TQMClipboardFormatTypes formats) const;
    // Pastes what the clipboard holds at the current topic or contents
    // entry; EQMException when the data under the carrier's type is not a
    // carrier this program reads.
    void PasteFromClipboard();
    // Pasted topics never take a number that is in use: each asks for the
    // forced number (-1: its own) and takes the first free one after it;
    // links among the pasted topics follow their new numbers.
    void PasteTopics(int forcedNumber, class TGTextStream &stream, bool select);
    // Inserts at the index (-1: append) as children of the entry before it.
    void PasteContents(int insertIndex, class TGTextStream &stream, bool select);

    // ---- events

    TNotifyEvent OnChange;
    TNotifyEvent OnContentChange;
    TNotifyEvent OnUndoSizeChange;
    TNotifyEvent OnRecentFilesChange;
    TNotifyEvent OnFontChange;
    TNotifyEvent OnWindowDefChange;
    TQMContentsEvent OnAddContents;
    TQMContentsEvent OnDeleteContents;
    TQMContentsEvent OnContentsChange;
    TQMTopicEvent OnAddTopic;
    TQMTopicEvent OnDeleteTopic;
    TQMTopicEvent OnTopicChange;
    TQMTextMacroEvent OnAddMacro;
    TQMTextMacroEvent OnDeleteMacro;
    TQMTextMacroEvent OnMacroChange;

private:
    // Runs an adjustment of the model that must not make it look edited.
    template<class F> void KeepingModified(F &&adjustment);

    void TopicNotify(TQMTopic *topic, TCollectionNotification action);
    void TopicUpdate(TQMTopic *topic);
    void ContentsNotify(TQMContentsItem *item, TCollectionNotification action);
    void ContentsUpdate(TQMContentsItem *item);
    void MacroNotify(TQMTextMacro *macro, TCollectionNotification action);
    void MacroUpdate(TQMTextMacro *macro);
    void FontChanged();

    QStringList ContentsLinksStrings() const { return m_contentsLinks->ToQStringList(); }
    void SetContentsLinksStrings(const QStringList &value);
    QStringList ContentsIndicesStrings() const { return m_contentsIndices->ToQStringList(); }
    void SetContentsIndicesStrings(const QStringList &value);
    QStringList WindowDefinitionsStrings() const { return m_windowDefinitions->ToQStringList(); }
    void SetWindowDefinitionsStrings(const QStringList &value);

    QObject *m_owner;
    float m_version = 1.0f;
    std::unique_ptr<TFont> m_font;
    int m_undoStackSize = 32;
    std::unique_ptr<TQMProjectOptions> m_options;
    std::unique_ptr<TQMContentsItems> m_contents;
    int m_contentIndex = -1;
    std::unique_ptr<TQMTextMacros> m_textMacros;
    std::unique_ptr<TQMTopics> m_topics;
    int m_topicIndex = -1;
    int m_topicGrid = 10;
    int m_topicIncrement = 1;
    std::unique_ptr<TStringList> m_contentsLinks;
    std::unique_ptr<TStringList> m_contentsIndices;
    std::unique_ptr<TStringList> m_windowDefinitions;
    bool m_topicGridEnabled = false;
    std::unique_ptr<TRecentFiles> m_recentFiles;
    std::unique_ptr<TQMStatuses> m_statuses;
    bool m_useDelphiLinks = false;
    QString m_qmLocation;
    bool m_modified = false;
};
