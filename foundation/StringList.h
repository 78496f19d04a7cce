#pragma once

// The string list: strings with an object pointer each (not owned), optional
// sorting, case sensitivity, duplicate handling and change events. The
// capacity is the list's own figure, grown through the virtual SetCapacity so
// a derived list can refuse to grow.

#include "foundation/Persistent.h"

#include <QList>
#include <QString>
#include <QStringList>

enum TDuplicates { dupIgnore, dupAccept, dupError };

// One entry of a string list. Relocatable, so inserting into a long list
// moves memory in one go instead of element by element.
struct TStringListItem
{
    QString string;
    TObject *object = nullptr;
};
Q_DECLARE_TYPEINFO(TStringListItem, Q_RELOCATABLE_TYPE);

class TStringList : public TPersistent
{
    Q_GADGET

public:
    QM_METAOBJECT

    TStringList() = default;
    ~TStringList() override;

    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }

    // Index errors are EStringListError "List index out of bounds (%d)".
    const QString &Strings(int index) const;
    const QString &operator[](int index) const { return Strings(index); }
    // Not allowed on a sorted list ("Operation not allowed on sorted list").
    void SetStrings(int index, const QString &value);
    TObject *Objects(int index) const;
    void SetObjects(int index, TObject *object);

    // Sorted lists insert at the sorted position; a duplicate is then
    // ignored (the existing index is returned), accepted, or refused with
    // "String list does not allow duplicates", as Duplicates says.
    int Add(const QString &s);
    int AddObject(const QString &s, TObject *object);
    void AddStrings(const TStringList &strings);
    void AddStrings(const QStringList &strings);
    // Insert and Move are not allowed on a sorted list.
    void Insert(int index, const QString &s);
    void InsertObject(int index, const QString &s, TObject *object);
    void Delete(int index);
    void Move(int curIndex, int newIndex);
    void Exchange(int index1, int index2);
    void Clear();

    // First index of the string (CompareStrings), -1 if none; binary search
    // when sorted.
    int IndexOf(const QString &s) const;
    int IndexOfObject(const TObject *object) const;
    // Binary search on a sorted list: true when found; index is the first
    // match or the insertion point.
    bool Find(const QString &s, int &index) const;

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates value) { m_duplicates = value; }
    // Default false, as the platform's list.
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool value);
    void Sort();

    int Capacity() const { return m_capacity; }
    // Below Count: EStringListError "List capacity out of bounds (%d)".
    virtual void SetCapacity(int newCapacity);

    // Every string followed by CR LF. SetText splits at CR LF, CR or LF; a
    // final line break does not make an empty last line.
    QString Text() const;
    void SetText(const QString &text);

    // Brackets raise OnChanging when the outermost opens and OnChange when it
    // closes; changes in between raise nothing.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    // From another string list: strings and objects, inside one bracket.
    // Sorted, Duplicates and CaseSensitive stay this list's own.
    void Assign(const TPersistent *source) override;
    // Replace the content by these strings (null objects).
    void AssignStrings(const QStringList &strings);
    QStringList ToQStringList() const;

    // Same strings in the same order (exact comparison); objects are not
    // compared.
    bool Equals(const TStringList &other) const;
    friend bool operator==(const TStringList &a, const TStringList &b) { return a.Equals(b); }
    friend bool operator!=(const TStringList &a, const TStringList &b) { return !a.Equals(b); }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    // < 0, 0, > 0; honours CaseSensitive.
    virtual int CompareStrings(const QString &a, const QString &b) const;

private:
    using Item = TStringListItem;

    void CheckIndex(int index) const;
    void CheckNotSorted() const;
    void Grow();
    void InsertItem(int index, const QString &s, TObject *object);

    QList<Item> m_items;
    int m_capacity = 0;
    int m_updateCount = 0;
    bool m_growing = false;
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = dupIgnore;
};
