#pragma once

// The owned collection: an ordered list of items of one item class that the
// collection creates, owns and destroys, belonging to an owner object.
//
// Notification contract (what derived collections, and the document above
// them, can rely on):
// - Adding an item calls Notify(item, cnAdded) at once, also inside an
//   update bracket, then Changed().
// - Delete(i) calls Notify(item, cnDeleting), then the item's
//   BeforeDestruction(), then Notify(item, cnExtracting) while the item still
//   stands at its index, then takes it out, calls Changed() and destroys it.
//   Clear() skips cnDeleting: each item, from the last, gets
//   BeforeDestruction() and cnExtracting, inside one update bracket.
// - Changed() calls Update(nullptr) (the whole list) unless an update bracket
//   is open; ending the outermost bracket calls Changed(). An item's
//   Changed(false) calls Update(item), Changed(true) Update(nullptr), both
//   only outside a bracket.
// - An item is always taken out of its collection before its destructor
//   runs, so item destructors see Collection() == nullptr. Work that must
//   happen while the item is still in its collection (unlinking references)
//   belongs in BeforeDestruction().
// - ~TCollection destroys the items without Notify or Update calls (the
//   derived collection is already gone); a derived collection that wants its
//   own notifications on teardown calls Clear() in its destructor.

#include "foundation/Persistent.h"

#include <functional>
#include <memory>
#include <vector>

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent
{
    Q_GADGET

public:
    QM_METAOBJECT

    // The collection is only remembered here so that a derived constructor
    // can reach the collection and its owner; the item joins the collection's
    // list when the collection adopts it (Add, Insert, AddItem, InsertItem).
    explicit TCollectionItem(TCollection *collection = nullptr);
    ~TCollectionItem() override;

    TCollection *Collection() const { return m_collection; }
    // Moves the item into another collection (ownership goes with it).
    // Null is ignored: TCollection::Extract hands an item out.
    virtual void SetCollection(TCollection *value);

    // Persistent number, unique within the collection, never reused.
    int ID() const { return m_id; }

    // -1 while the item is not in a collection. Kept up to date by the
    // collection, so reading it costs nothing.
    int Index() const { return m_index; }
    // Moves the item to that index (EListError when out of range) and
    // reports a change of the whole list.
    virtual void SetIndex(int value);

    QString DisplayName() const { return GetDisplayName(); }
    // Default: the class name.
    virtual QString GetDisplayName() const;
    // Default: only reports the item as changed.
    virtual void SetDisplayName(const QString &value);

    // Reports this item (or, with allItems, the whole list) to the
    // collection's Update, unless an update bracket is open.
    void Changed(bool allItems);

    // Called by the collection just before it takes the item out for
    // destruction, while the item is still in the list.
    virtual void BeforeDestruction() {}

private:
    friend class TCollection;

    TCollection *m_collection = nullptr;
    int m_id = -1;
    int m_index = -1;
};

class TCollection : public TPersistent
{
    Q_GADGET

public:
    QM_METAOBJECT

    using ItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection *collection)>;
    using ItemLess = std::function<bool(const TCollectionItem *a, const TCollectionItem *b)>;

    // The factory for item class T: constructs T(collection).
    template<class T> static ItemFactory FactoryFor()
    {
        return [](TCollection *collection) { return std::make_unique<T>(collection); };
    }

    TCollection(TPersistent *owner, ItemFactory factory);
    ~TCollection() override;

    TPersistent *Owner() const { return m_owner; }

    int Count() const { return static_cast<int>(m_items.size()); }
    // EListError "List index out of bounds (%d)" outside 0 .. Count - 1.
    TCollectionItem *Items(int index) const;

    // A new item of the item class at the end (amortised constant time).
    TCollectionItem *Add();
    // A new item at index 0 .. Count; the range is checked before anything
    // is created.
    TCollectionItem *Insert(int index);
    // Adopt an item created elsewhere (for example one taken out of another
    // collection with Extract).
    TCollectionItem *AddItem(std::unique_ptr<TCollectionItem> item);
    TCollectionItem *InsertItem(int index, std::unique_ptr<TCollectionItem> item);
    // Takes the item out (cnExtracting, Changed) and hands it over.
    std::unique_ptr<TCollectionItem> Extract(int index);

    void Delete(int index);
    void Clear();

    void BeginUpdate() { ++m_updateCount; }
    // Ending the outermost bracket reports a change of the whole list.
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    // Reports a change of the whole list unless a bracket is open.
    void Changed();

    TCollectionItem *FindItemID(int id) const;
    int NextID() const { return m_nextID; }

    // Reordering; each reports one change of the whole list.
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    // Stable sort.
    void Sort(const ItemLess &less);

    // From another collection: inside one bracket, clear, then for each
    // source item add an item and Assign it from the source item.
    void Assign(const TPersistent *source) override;

protected:
    // A change of one item, or with null of the whole list.
    virtual void Update(TCollectionItem *item);
    virtual void Notify(TCollectionItem *item, TCollectionNotification action);

private:
    friend class TCollectionItem;

    void Renumber(int from, int to);
    std::unique_ptr<TCollectionItem> TakeOut(int index);
    void ForgetDestroyedItem(TCollectionItem *item);

    TPersistent *m_owner;
    ItemFactory m_factory;
    std::vector<std::unique_ptr<TCollectionItem>> m_items;
    int m_updateCount = 0;
    int m_nextID = 0;
};
