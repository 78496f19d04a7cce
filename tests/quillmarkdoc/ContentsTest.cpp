#include "ModelTestSupport.h"
#include "QtPrinters.h"

#include <deque>
#include <limits>

#include <gtest/gtest.h>

namespace {

// Topics 10, 20 (context string "Twenty"), 30 ("intro") and 50 ("quill20"),
// so a number link and a context string link to "20" lead to different
// topics.
class ContentsFixture : public ::testing::Test
{
protected:
    ContentsFixture()
    {
        AddTopics(doc, {10, 20, 30, 50});
        doc.Topics()->Items(1)->SetContextString(QStringLiteral("Twenty"));
        doc.Topics()->Items(2)->SetContextString(QStringLiteral("intro"));
        doc.Topics()->Items(3)->SetContextString(QStringLiteral("quill20"));
    }

    TQMContentsItem *AddEntry(int level, const QString &title, const QString &link = QString())
    {
        TQMContentsItem *item = doc.Contents()->Add();
        item->SetLevel(level);
        item->SetTitle(title);
        item->SetLink(link);
        return item;
    }

    TQuillmarkDoc doc;
};

TEST_F(ContentsFixture, LinksResolveByNumberOrContextString)
{
    const struct
    {
        const char *link;
        int topic; // -1: none
        const char *windowName;
    } cases[] = {
        {"Quill20>main", 20, "main"},
        {"Quill20", 20, ""},
        {"quill20>main", 50, "main"}, // not "Quill": a context string
        {"INTRO", 30, ""},
        {"intro>second", 30, "second"},
        {"QuillAbc", -1, ""}, // never a context string
        {"Quill99", -1, ""},
        {"unknown>w", -1, "w"},
        {"Quill10>a>b", 10, "a>b"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        TQMContentsItem *item = AddEntry(1, QStringLiteral("entry"), QString::fromLatin1(c.link));
        EXPECT_EQ(item->Link(), QString::fromLatin1(c.link));
        EXPECT_EQ(item->WindowName(), QString::fromLatin1(c.windowName));
        if (c.topic < 0) {
            EXPECT_EQ(item->Topic(), nullptr);
            EXPECT_FALSE(item->LinkResolved());
        } else {
            ASSERT_NE(item->Topic(), nullptr);
            EXPECT_EQ(item->Topic()->TopicID(), c.topic);
            EXPECT_TRUE(item->LinkResolved());
        }
    }

    // Changing or emptying the link lets go of the old topic.
    TQMContentsItem *item = AddEntry(1, QStringLiteral("entry"), QStringLiteral("Quill20>w"));
    TQMTopic *twenty = item->Topic();
    item->SetLink(QString());
    EXPECT_EQ(item->Topic(), nullptr);
    EXPECT_EQ(item->WindowName(), QString());
    EXPECT_TRUE(item->LinkResolved());
    EXPECT_FALSE(twenty->IsLinkedTo(item));
}

TEST_F(ContentsFixture, EntryOutsideADocumentKeepsItsLinkAsText)
{
    TQMContentsItems loose;
    TQMContentsItem *item = loose.Add();
    item->SetLink(QStringLiteral("Quill20>main"));
    EXPECT_EQ(item->Topic(), nullptr);
    EXPECT_EQ(item->WindowName(), QString());
    EXPECT_FALSE(item->LinkResolved());
}

TEST_F(ContentsFixture, WindowNameAndTopicRewriteTheLink)
{
    TQMContentsItem *item = AddEntry(1, QStringLiteral("e"), QStringLiteral("Quill20>a"));
    TQMTopic *twenty = item->Topic();
    item->SetWindowName(QStringLiteral("b"));
    EXPECT_EQ(item->Link(), QStringLiteral("Quill20>b"));
    item->SetWindowName(QString());
    EXPECT_EQ(item->Link(), QStringLiteral("Quill20"));
    item->SetWindowName(QStringLiteral("c"));
    EXPECT_EQ(item->Link(), QStringLiteral("Quill20>c"));
    EXPECT_EQ(item->Topic(), twenty);

    TQMTopic *intro = doc.Topics()->Items(2);
    item->SetTopic(intro);
    EXPECT_EQ(item->Link(), QStringLiteral("intro>c"));
    EXPECT_TRUE(intro->IsLinkedTo(item));
    EXPECT_FALSE(twenty->IsLinkedTo(item));
    item->SetTopic(nullptr);
    EXPECT_EQ(item->Link(), QString());
    EXPECT_EQ(doc.Contents()->IndexOfTopic(intro), -1);
}

// A topic that goes clears every reference to it: the contents entries
// empty their links and stay; an item outside the document (as a class
// member model holds) is told as well.
TEST_F(ContentsFixture, DeletingATopicClearsEveryReference)
{
    AddEntry(1, QStringLiteral("a"), QStringLiteral("Quill20"));
    AddEntry(2, QStringLiteral("b"), QStringLiteral("Twenty>w"));
    AddEntry(2, QStringLiteral("c"), QStringLiteral("Quill30"));
    AddEntry(3, QStringLiteral("d"), QStringLiteral("Quill20"));
    TQMContentsItems outside;
    TQMContentsItem *member = outside.Add();
    member->SetTopic(doc.Topics()->Items(1));
    EXPECT_EQ(doc.Contents()->IndexOfTopic(doc.Topics()->Items(1)), 0);

    EventRecorder recorder(doc);
    doc.Topics()->Delete(1);
    EXPECT_EQ(doc.Contents()->Count(), 4);
    for (int i : {0, 1, 3}) {
        const TQMContentsItem *item = doc.Contents()->Items(i);
        EXPECT_EQ(item->Topic(), nullptr);
        EXPECT_EQ(item->Link(), QString());
    }
    EXPECT_EQ(doc.Contents()->Items(2)->Topic(), doc.Topics()->Items(1));
    EXPECT_EQ(member->Topic(), nullptr);
    EXPECT_EQ(recorder.Joined(), QStringLiteral("DeleteTopic(T20) ContentsChange(d) ContentsChange(b) "
                                                "ContentsChange(a) DeleteTopic(T20) TopicChange(*)"));
    EXPECT_TRUE(doc.Modified());
}

// A contents entry that goes first leaves no link behind in the topic.
TEST_F(ContentsFixture, DeletingAnEntryUnlinksItsTopic)
{
    AddEntry(1, QStringLiteral("a"), QStringLiteral("Quill20"));
    TQMTopic *twenty = doc.Topics()->Items(1);
    EXPECT_EQ(twenty->LinkCount(), 1);
    doc.Contents()->Delete(0);
    EXPECT_EQ(twenty->LinkCount(), 0);
    doc.Topics()->Delete(1);
}

TEST_F(ContentsFixture, AssignResolvesAgainInTheDestination)
{
    AddEntry(1, QStringLiteral("a"), QStringLiteral("Quill20>w"));
    AddEntry(2, QStringLiteral("b"), QStringLiteral("intro"));
    doc.Contents()->Items(1)->SetSelected(true);

    TQuillmarkDoc other;
    AddTopics(other, {20});
    other.Contents()->Assign(doc.Contents());
    ASSERT_EQ(other.Contents()->Count(), 2);
    const TQMContentsItem *a = other.Contents()->Items(0);
    EXPECT_EQ(a->Topic(), other.Topics()->Items(0));
    EXPECT_EQ(a->WindowName(), QStringLiteral("w"));
    const TQMContentsItem *b = other.Contents()->Items(1);
    EXPECT_EQ(b->Level(), 2);
    EXPECT_EQ(b->Title(), QStringLiteral("b"));
    EXPECT_EQ(b->Link(), QStringLiteral("intro"));
    EXPECT_EQ(b->Topic(), nullptr);
    EXPECT_TRUE(b->Selected());
    EXPECT_EQ(other.Contents()->SelectedCount(), 1);
}

struct SetLevelCase
{
    const char *what;
    QList<int> levels;
    int index;
    int newLevel;
    int stopIndex; // -1: none
    QList<int> expected;
    int result;
};

TEST_F(ContentsFixture, SetLevelWithChildren)
{
    const int max = std::numeric_limits<int>::max();
    const SetLevelCase cases[] = {
        {"sub-entries follow, a sibling stops", {2, 3, 3, 2}, 0, 1, -1, {1, 2, 2, 2}, 2},
        {"to the end", {1, 2, 3}, 0, 2, -1, {2, 3, 4}, 2},
        {"the stop item", {1, 2, 2, 2}, 0, 3, 2, {3, 4, 2, 2}, 1},
        {"no sub-entries", {1, 1}, 0, 4, -1, {4, 1}, 0},
        {"the last entry", {1, 2}, 1, 5, -1, {1, 5}, 1},
        {"levels saturate", {1, max}, 0, 10, -1, {10, max}, 1},
    };
    for (const SetLevelCase &c : cases) {
        SCOPED_TRACE(c.what);
        doc.Contents()->Clear();
        for (int level : c.levels)
            AddEntry(level, QStringLiteral("e"));
        const TQMContentsItem *stop = c.stopIndex >= 0 ? doc.Contents()->Items(c.stopIndex) : nullptr;
        EventRecorder recorder(doc);
        EXPECT_EQ(doc.Contents()->SetLevelWithChildren(c.index, c.newLevel, stop), c.result);
        QList<int> levels;
        for (int i = 0; i < doc.Contents()->Count(); ++i)
            levels.append(doc.Contents()->Items(i)->Level());
        EXPECT_EQ(levels, c.expected);
        EXPECT_EQ(recorder.Joined(), QStringLiteral("ContentsChange(*)"));
    }
    EXPECT_THROW(doc.Contents()->SetLevelWithChildren(99, 1, nullptr), EListError);
}

// Records the tree as text: "A(B,C),D"; a filler shows as "-".
class RecordingSink : public TQMContentsTreeSink
{
public:
    void BeginUpdate() override { ++brackets; }
    void EndUpdate() override { --brackets; }
    void Clear() override
    {
        nodes.clear();
        ++clears;
    }
    NodeHandle AddChild(NodeHandle parent, const QString &text, TQMContentsItem *item) override
    {
        nodes.push_back(Node{static_cast<Node *>(parent), text, item, {}});
        Node *node = &nodes.back();
        if (node->parent)
            node->parent->children.push_back(node);
        return node;
    }
    NodeHandle Parent(NodeHandle node) const override { return static_cast<Node *>(node)->parent; }

    QString Tree() const
    {
        QStringList top;
        for (const Node &node : nodes) {
            if (!node.parent)
                top.append(Text(node));
        }
        return top.join(QLatin1Char(','));
    }

    int brackets = 0;
    int clears = 0;

private:
    struct Node
    {
        Node *parent;
        QString text;
        TQMContentsItem *item;
        std::vector<Node *> children;
    };

    static QString Text(const Node &node)
    {
        QString text = node.item ? node.text : QStringLiteral("-");
        if (!node.item && !node.text.isEmpty())
            text = QStringLiteral("?filler with text?");
        if (node.children.empty())
            return text;
        QStringList children;
        for (const Node *child : node.children)
            children.append(Text(*child));
        return text + QLatin1Char('(') + children.join(QLatin1Char(',')) + QLatin1Char(')');
    }

public:
    std::deque<Node> nodes;
};

TEST_F(ContentsFixture, TreeBuildingWithFillers)
{
    const struct
    {
        QList<int> levels;
        const char *tree;
    } cases[] = {
        {{1, 3, 2, 1}, "A(-(B),C),D"},
        {{1, 2, 3, 2, 1}, "A(B(C),D),E"},
        {{1, 1, 1}, "A,B,C"},
        {{2}, "A"},
        {{3, 1}, "-(A),B"},
        {{1, 2, 4, 2}, "A(B(-(C)),D)"},
        {{1, 4, 1}, "A(-(-(B))),C"},
        {{0, 2}, "A(-(B))"},
        {{-5, 1, 1}, "A,B,C"},
        {{}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tree);
        doc.Contents()->Clear();
        char title = 'A';
        for (int level : c.levels)
            AddEntry(level, QString(QLatin1Char(title++)));
        RecordingSink sink;
        sink.AddChild(nullptr, QStringLiteral("stale"), nullptr);
        doc.Contents()->AssignTo(sink);
        EXPECT_EQ(sink.Tree(), QString::fromLatin1(c.tree));
        EXPECT_EQ(sink.clears, 1);
        EXPECT_EQ(sink.brackets, 0);
        for (const auto &node : sink.nodes) {
            if (node.item) {
                EXPECT_EQ(node.text, node.item->Title());
            }
        }
    }
}

// A damaged file may carry any level; the tree stays bounded.
TEST_F(ContentsFixture, TreeBuildingBoundsLevelJumps)
{
    AddEntry(1, QStringLiteral("A"));
    AddEntry(std::numeric_limits<int>::max(), QStringLiteral("B"));
    AddEntry(std::numeric_limits<int>::min(), QStringLiteral("C"));
    AddEntry(std::numeric_limits<int>::max(), QStringLiteral("D"));
    RecordingSink sink;
    doc.Contents()->AssignTo(sink);
    EXPECT_EQ(sink.nodes.size(), static_cast<size_t>(4 + 2 * TQMContentsItems::MaxFillerDepth));
}

} // namespace
