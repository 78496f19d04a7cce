#include "ModelTestSupport.h"
#include "QtPrinters.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

// A document with topics 10 and 20, one contents entry "c" and the current
// topic and contents entry set, not modified.
void Prepare(TQuillmarkDoc &doc)
{
    AddTopics(doc, {10, 20});
    TQMContentsItem *entry = doc.Contents()->Add();
    entry->SetTitle(QStringLiteral("c"));
    entry->SetLink(QStringLiteral("Quill10"));
    doc.SetModified(false);
}

struct EventCase
{
    const char *operation;
    std::function<void(TQuillmarkDoc &)> run;
    const char *events;
    bool modified;
};

TEST(DocumentEvents, EachChangeRaisesItsEventsAndMarksAsTheTableSays)
{
    const EventCase cases[] = {
        {"add a topic", [](TQuillmarkDoc &d) { d.Topics()->Add(); }, "AddTopic(<new topic>) TopicChange(*)",
         true},
        {"change a topic field",
         [](TQuillmarkDoc &d) { d.Topics()->Items(0)->SetKeywords(QStringLiteral("k")); }, "TopicChange(T10)",
         true},
        {"set a topic field to its value",
         [](TQuillmarkDoc &d) { d.Topics()->Items(0)->SetTitle(QStringLiteral("T10")); }, "", false},
        {"edit a topic's text",
         [](TQuillmarkDoc &d) { d.Topics()->Items(0)->Text()->Add(QStringLiteral("x")); }, "TopicChange(T10)",
         true},
        {"delete a topic", [](TQuillmarkDoc &d) { d.Topics()->Delete(1); },
         "DeleteTopic(T20) DeleteTopic(T20) TopicChange(*)", true},
        {"renumber a topic into another place",
         [](TQuillmarkDoc &d) { d.Topics()->Items(0)->SetTopicID(30); }, "TopicChange(*) TopicChange(T10)",
         true},
        {"select a topic", [](TQuillmarkDoc &d) { d.Topics()->Items(0)->SetSelected(true); },
         "TopicChange(T10)", true},
        {"add a contents entry", [](TQuillmarkDoc &d) { d.Contents()->Add(); },
         "AddContents(TQMContentsItem) ContentsChange(*)", true},
        {"change a contents entry", [](TQuillmarkDoc &d) { d.Contents()->Items(0)->SetLevel(2); },
         "ContentsChange(c)", true},
        {"delete a contents entry", [](TQuillmarkDoc &d) { d.Contents()->Delete(0); },
         "DeleteContents(c) DeleteContents(c) ContentsChange(*)", true},
        {"add a macro", [](TQuillmarkDoc &d) { d.TextMacros()->Add(); },
         "AddMacro(TQMTextMacro) MacroChange(*)", true},
        {"change a macro", [](TQuillmarkDoc &d) { d.TextMacros()->Items(0)->SetBullet(true); },
         "MacroChange(*PopupLink)", true},
        {"change a status", [](TQuillmarkDoc &d) { d.Statuses()->Items(0)->SetText(QStringLiteral("x")); },
         "", true},
        {"change an option", [](TQuillmarkDoc &d) { d.Options()->SetTitle(QStringLiteral("t")); }, "Change",
         true},
        {"move the help window", [](TQuillmarkDoc &d) { d.Options()->HelpWindowPosition()->SetTop(1); },
         "Change", true},
        {"edit a web export field",
         [](TQuillmarkDoc &d) { d.Options()->WebExportOptions()->SetNext(QString()); }, "", false},
        {"add a contents link", [](TQuillmarkDoc &d) { d.ContentsLinks()->Add(QStringLiteral("l")); },
         "Change", true},
        {"add a contents index", [](TQuillmarkDoc &d) { d.ContentsIndices()->Add(QStringLiteral("i")); },
         "Change", true},
        {"add a window definition", [](TQuillmarkDoc &d) { d.WindowDefinitions()->Add(QStringLiteral("w")); },
         "WindowDefChange", false},
        {"add a recent file", [](TQuillmarkDoc &d) { d.RecentFiles()->AddFile(QStringLiteral("f.qmp")); },
         "RecentFilesChange", false},
        {"change the font", [](TQuillmarkDoc &d) { d.Font()->SetSize(20); }, "FontChange", false},
        {"set the current topic", [](TQuillmarkDoc &d) { d.SetTopicIndex(1); }, "Change", false},
        {"set the current topic out of range", [](TQuillmarkDoc &d) { d.SetTopicIndex(2); }, "", false},
        {"set the increment", [](TQuillmarkDoc &d) { d.SetTopicIncrement(5); }, "Change", false},
        {"set the increment to 0", [](TQuillmarkDoc &d) { d.SetTopicIncrement(0); }, "", false},
        {"set the current contents entry", [](TQuillmarkDoc &d) { d.SetContentIndex(0); }, "ContentChange",
         false},
        {"set the current contents entry out of range", [](TQuillmarkDoc &d) { d.SetContentIndex(1); }, "",
         false},
        {"set the undo stack size", [](TQuillmarkDoc &d) { d.SetUndoStackSize(-4); }, "UndoSizeChange",
         false},
        {"quiet settings",
         [](TQuillmarkDoc &d) {
             d.SetTopicGrid(5);
             d.SetTopicGrid(-1);
             d.SetTopicGridEnabled(true);
             d.SetQMLocation(QStringLiteral("tool.exe"));
             d.SetUseDelphiLinks(true);
         },
         "", false},
        {"Changed", [](TQuillmarkDoc &d) { d.Changed(); }, "Change", true},
    };
    for (const EventCase &c : cases) {
        SCOPED_TRACE(c.operation);
        TQuillmarkDoc doc;
        Prepare(doc);
        EventRecorder recorder(doc);
        c.run(doc);
        EXPECT_EQ(recorder.Joined(), QString::fromLatin1(c.events));
        EXPECT_EQ(doc.Modified(), c.modified);
    }
}

// Inside a bracket item changes are not reported one by one; ending the
// bracket reports the whole list once. Adds are reported at once.
TEST(DocumentEvents, UpdateBrackets)
{
    TQuillmarkDoc doc;
    AddTopics(doc, {10, 20, 30});
    EventRecorder recorder(doc);

    doc.Topics()->BeginUpdate();
    doc.Topics()->BeginUpdate();
    for (int i = 0; i < 3; ++i)
        doc.Topics()->Items(i)->SetKeywords(QStringLiteral("k"));
    doc.Topics()->Add();
    doc.Topics()->EndUpdate();
    EXPECT_EQ(recorder.Joined(), QStringLiteral("AddTopic(<new topic>)"));
    doc.Topics()->EndUpdate();
    EXPECT_EQ(recorder.Joined(), QStringLiteral("AddTopic(<new topic>) TopicChange(*)"));

    // Clearing reports each topic once, then the whole list once.
    recorder.events.clear();
    doc.Topics()->Clear();
    EXPECT_EQ(recorder.Joined(), QStringLiteral("DeleteTopic(<new topic>) DeleteTopic(T30) DeleteTopic(T20) "
                                                "DeleteTopic(T10) TopicChange(*)"));
}

TEST(Document, ConstructionDefaults)
{
    TQuillmarkDoc doc;
    EXPECT_EQ(doc.Version(), 1.0f);
    EXPECT_EQ(doc.UndoStackSize(), 32);
    EXPECT_EQ(doc.ContentIndex(), -1);
    EXPECT_EQ(doc.TopicIndex(), -1);
    EXPECT_EQ(doc.TopicGrid(), 10);
    EXPECT_EQ(doc.TopicIncrement(), 1);
    EXPECT_FALSE(doc.TopicGridEnabled());
    EXPECT_FALSE(doc.UseDelphiLinks());
    EXPECT_EQ(doc.RecentFiles()->MaxCount(), 4);
    EXPECT_EQ(doc.Topics()->Count(), 0);
    EXPECT_EQ(doc.TextMacros()->Count(), 12);
    EXPECT_EQ(doc.Statuses()->Count(), 4);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.Topics()->Document(), &doc);
    EXPECT_EQ(doc.Contents()->Document(), &doc);
    EXPECT_EQ(doc.Options()->Owner(), &doc);
}

// The current contents entry always names an entry, also after removals.
TEST(Document, ContentIndexStaysInRange)
{
    TQuillmarkDoc doc;
    for (int i = 0; i < 3; ++i)
        doc.Contents()->Add();
    doc.SetContentIndex(2);
    doc.Contents()->Delete(0);
    EXPECT_EQ(doc.ContentIndex(), 1);
    doc.SetContentIndex(0);
    doc.Contents()->Delete(1);
    EXPECT_EQ(doc.ContentIndex(), 0);
    doc.Contents()->Clear();
    EXPECT_EQ(doc.ContentIndex(), -1);
}

TEST(Document, ClearEmptiesTheProjectAndKeepsTheSettings)
{
    TQuillmarkDoc doc;
    Prepare(doc);
    doc.SetTopicIndex(1);
    doc.SetContentIndex(0);
    doc.Options()->SetTitle(QStringLiteral("Help"));
    doc.Statuses()->Add()->SetText(QStringLiteral("Review"));
    doc.TextMacros()->Add()->SetName(QStringLiteral("Mine"));
    doc.ContentsLinks()->Add(QStringLiteral("l"));
    doc.ContentsIndices()->Add(QStringLiteral("i"));
    doc.WindowDefinitions()->Add(QStringLiteral("w"));
    doc.RecentFiles()->AddFile(QStringLiteral("a.qmp"));
    doc.SetTopicIncrement(5);
    doc.SetQMLocation(QStringLiteral("tool"));

    EventRecorder recorder(doc);
    bool modifiedInHandler = true;
    doc.OnChange = [&](TObject *) {
        recorder.events.append(QStringLiteral("Change"));
        modifiedInHandler = doc.Modified();
    };
    doc.Clear();
    EXPECT_EQ(recorder.events.first(), QStringLiteral("Change"));
    EXPECT_EQ(recorder.events.last(), QStringLiteral("Change"));
    EXPECT_FALSE(modifiedInHandler);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.TopicIndex(), -1);
    EXPECT_EQ(doc.Topics()->Count(), 0);
    EXPECT_EQ(doc.Contents()->Count(), 0);
    EXPECT_EQ(doc.TextMacros()->Count(), 12);
    EXPECT_EQ(doc.TextMacros()->IndexOfDisplayName(QStringLiteral("Mine")), -1);
    EXPECT_EQ(doc.ContentsLinks()->Count(), 0);
    EXPECT_EQ(doc.ContentsIndices()->Count(), 0);
    EXPECT_EQ(doc.WindowDefinitions()->Count(), 0);
    EXPECT_EQ(doc.Options()->Title(), QStringLiteral("Help"));
    EXPECT_EQ(doc.Statuses()->Count(), 5);
    EXPECT_EQ(doc.RecentFiles()->Count(), 1);
    EXPECT_EQ(doc.TopicIncrement(), 5);
    EXPECT_EQ(doc.QMLocation(), QStringLiteral("tool"));
}

TEST(Document, AssignCopiesTheProjectButNotThePresentation)
{
    TQuillmarkDoc source;
    Prepare(source);
    source.Topics()->Items(1)->SetSelected(true);
    source.SetTopicIndex(1);
    source.SetContentIndex(0);
    source.SetVersion(2.5f);
    source.SetUndoStackSize(7);
    source.Options()->SetCopyright(QStringLiteral("(c)"));
    source.ContentsLinks()->Add(QStringLiteral("l"));
    source.ContentsIndices()->Add(QStringLiteral("i"));
    source.WindowDefinitions()->Add(QStringLiteral("w"));
    source.TextMacros()->Add()->SetName(QStringLiteral("Mine"));
    source.SetTopicIncrement(3);
    source.SetTopicGrid(7);
    source.SetTopicGridEnabled(true);
    source.RecentFiles()->AddFile(QStringLiteral("a.qmp"));
    source.SetQMLocation(QStringLiteral("tool"));
    source.SetUseDelphiLinks(true);
    source.Font()->SetName(QStringLiteral("Tahoma"));
    source.Statuses()->Add()->SetText(QStringLiteral("Review"));

    for (const bool modified : {true, false}) {
        SCOPED_TRACE(modified);
        source.SetModified(modified);
        TQuillmarkDoc copy;
        int handlerCalls = 0;
        copy.OnUndoSizeChange = [&handlerCalls](TObject *) { ++handlerCalls; };
        copy.Assign(&source);
        EXPECT_EQ(handlerCalls, 0); // the size is copied raw
        EXPECT_EQ(copy.Version(), 2.5f);
        EXPECT_EQ(copy.UndoStackSize(), 7);
        EXPECT_EQ(copy.Options()->Copyright(), QStringLiteral("(c)"));
        EXPECT_EQ(TopicNumbers(copy), (QList<int>{10, 20}));
        EXPECT_EQ(copy.Topics()->Items(1)->Title(), QStringLiteral("T20"));
        EXPECT_TRUE(copy.Topics()->Items(1)->Selected());
        EXPECT_NE(copy.Topics()->Items(0), source.Topics()->Items(0));
        EXPECT_EQ(copy.TopicIndex(), 1);
        ASSERT_EQ(copy.Contents()->Count(), 1);
        // The copied entry points into the copy, not into the source.
        EXPECT_EQ(copy.Contents()->Items(0)->Topic(), copy.Topics()->Items(0));
        EXPECT_EQ(copy.ContentsLinks()->ToQStringList(), QStringList{QStringLiteral("l")});
        EXPECT_EQ(copy.ContentsIndices()->ToQStringList(), QStringList{QStringLiteral("i")});
        EXPECT_EQ(copy.WindowDefinitions()->ToQStringList(), QStringList{QStringLiteral("w")});
        EXPECT_EQ(copy.TextMacros()->Count(), 13);
        EXPECT_EQ(copy.TopicIncrement(), 3);
        EXPECT_EQ(copy.TopicGrid(), 7);
        EXPECT_TRUE(copy.TopicGridEnabled());
        EXPECT_EQ(copy.RecentFiles()->ToQStringList(), QStringList{QStringLiteral("a.qmp")});
        EXPECT_EQ(copy.QMLocation(), QStringLiteral("tool"));
        EXPECT_EQ(copy.Modified(), modified);
        // Not copied.
        EXPECT_EQ(copy.ContentIndex(), -1);
        EXPECT_FALSE(copy.UseDelphiLinks());
        EXPECT_NE(copy.Font()->Name(), QStringLiteral("Tahoma"));
        EXPECT_EQ(copy.Statuses()->Count(), 4);
    }

    TQuillmarkDoc copy;
    EXPECT_THROW(copy.Assign(source.Font()), EAssignError);
}

TEST(Document, CloneIsIndependentAndClonesOfClonesWork)
{
    QObject owner;
    TQuillmarkDoc doc(&owner);
    Prepare(doc);
    bool originalHandlerCalled = false;
    doc.OnTopicChange = [&](TObject *, TQMTopic *) { originalHandlerCalled = true; };

    std::unique_ptr<TQuillmarkDoc> clone = doc.Clone();
    std::unique_ptr<TQuillmarkDoc> cloneOfClone = clone->Clone();
    EXPECT_EQ(clone->Owner(), &owner);
    EXPECT_EQ(cloneOfClone->Owner(), &owner);
    EXPECT_FALSE(clone->OnTopicChange);
    EXPECT_FALSE(originalHandlerCalled);

    clone->Topics()->Items(0)->SetTitle(QStringLiteral("changed"));
    clone->Topics()->Delete(1);
    EXPECT_EQ(doc.Topics()->Items(0)->Title(), QStringLiteral("T10"));
    EXPECT_EQ(doc.Topics()->Count(), 2);
    EXPECT_FALSE(originalHandlerCalled);

    // Deleting the source's topic leaves the clones' entries linked to their own.
    doc.Topics()->Delete(0);
    EXPECT_EQ(doc.Contents()->Items(0)->Topic(), nullptr);
    ASSERT_NE(cloneOfClone->Contents()->Items(0)->Topic(), nullptr);
    EXPECT_EQ(cloneOfClone->Contents()->Items(0)->Topic()->Title(), QStringLiteral("T10"));

    // Undo: assign a snapshot back.
    doc.Assign(cloneOfClone.get());
    EXPECT_EQ(TopicNumbers(doc), (QList<int>{10, 20}));
    EXPECT_EQ(doc.Contents()->Items(0)->Topic(), doc.Topics()->Items(0));
}

// Destroying a document runs no handler: the windows' handlers are gone
// before the collections are torn down.
TEST(Document, DestructionRunsNoHandler)
{
    int calls = 0;
    {
        auto doc = std::make_unique<TQuillmarkDoc>();
        Prepare(*doc);
        AddTopics(*doc, {30, 40});
        doc->Contents()->Add()->SetLink(QStringLiteral("Quill40"));
        doc->SetTopicIndex(3);
        doc->SetContentIndex(1);
        auto count = [&calls](auto &&...) { ++calls; };
        doc->OnChange = count;
        doc->OnContentChange = count;
        doc->OnDeleteTopic = count;
        doc->OnTopicChange = count;
        doc->OnDeleteContents = count;
        doc->OnContentsChange = count;
        doc->OnDeleteMacro = count;
        doc->OnMacroChange = count;
        doc->OnFontChange = count;
        doc->OnRecentFilesChange = count;
        doc->OnWindowDefChange = count;
        calls = 0;
        doc.reset();
    }
    EXPECT_EQ(calls, 0);
}

// Sequences that must not break the model.
TEST(Document, HostileSequences)
{
    TQuillmarkDoc doc;
    Prepare(doc);
    // Deleting the current topic from inside a handler of its own deletion.
    doc.SetTopicIndex(0);
    bool deleting = false;
    doc.OnDeleteTopic = [&](TObject *, TQMTopic *topic) {
        if (!deleting && topic && topic->Index() >= 0) {
            deleting = true;
            topic->SetTopicID(99);
        }
    };
    doc.Topics()->Delete(0);
    EXPECT_EQ(doc.Topics()->Count(), 1);
    EXPECT_GE(doc.TopicIndex(), -1);
    EXPECT_LT(doc.TopicIndex(), doc.Topics()->Count());
    doc.OnDeleteTopic = nullptr;

    // A contents entry pointing at a topic that is then renumbered and deleted.
    TQMContentsItem *entry = doc.Contents()->Add();
    entry->SetTopic(doc.Topics()->Items(0));
    doc.Topics()->Items(0)->SetTopicID(1);
    doc.Topics()->Clear();
    EXPECT_EQ(entry->Topic(), nullptr);
    doc.Clear();
    EXPECT_EQ(doc.Topics()->Add()->TopicID(), 0);
}

} // namespace
