#pragma once

// Text macros: named character and paragraph formats that the editor applies
// to the selected text. Names beginning with "*" are the authoring tool's
// standard macros; a handful of reserved names mark syntax macros, which
// colour source code instead.

#include "foundation/Font.h"
#include "foundation/StringList.h"
#include "foundation/Structures.h"
#include "quillmarkdoc/QMTypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TQMTextMacro : public TGCollectionItem
{
    Q_GADGET
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(QString TypeFace READ TypeFace WRITE SetTypeFace)
    Q_PROPERTY(int Unknown1 READ Unknown1 WRITE SetUnknown1)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(int Unknown2 READ Unknown2 WRITE SetUnknown2)
    Q_PROPERTY(TFont::TFontStyles Style READ Style WRITE SetStyle)
    Q_PROPERTY(QMEnums::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool Bullet READ Bullet WRITE SetBullet)
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE SetLeftMargin)
    Q_PROPERTY(int RightMargin READ RightMargin WRITE SetRightMargin)
    Q_PROPERTY(int Indent READ Indent WRITE SetIndent)
    Q_PROPERTY(QStringList Tabs READ TabStrings WRITE SetTabStrings)
    Q_PROPERTY(QMEnums::TSyntaxType SyntaxType READ SyntaxType WRITE SetSyntaxType)
    // Derived from the name; readable for the dump, not editable.
    Q_PROPERTY(bool IsSyntaxMacro READ IsSyntaxMacro DESIGNABLE false)

public:
    QM_METAOBJECT

    // Every field empty, zero or False; SyntaxType stDelphi.
    explicit TQMTextMacro(TCollection *collection = nullptr);
    ~TQMTextMacro() override;

    // The reserved name of a syntax type.
    static QString SyntaxMacroName(TSyntaxType type);

    const QString &Name() const { return m_name; }
    // A reserved name makes the macro a syntax macro of that type; any other
    // name makes it an ordinary macro and leaves SyntaxType alone.
    void SetName(const QString &value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    const QString &TypeFace() const { return m_typeFace; }
    void SetTypeFace(const QString &value);
    int Unknown1() const { return m_unknown1; }
    void SetUnknown1(int value);
    int Size() const { return m_size; }
    void SetSize(int value);
    int Unknown2() const { return m_unknown2; }
    void SetUnknown2(int value);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    bool Bullet() const { return m_bullet; }
    void SetBullet(bool value);
    int LeftMargin() const { return m_leftMargin; }
    void SetLeftMargin(int value);
    int RightMargin() const { return m_rightMargin; }
    void SetRightMargin(int value);
    int Indent() const { return m_indent; }
    void SetIndent(int value);
    // One decimal tab position per entry; any change of the list is a change
    // of the macro.
    TStringList *Tabs() const { return m_tabs.get(); }
    void SetTabs(const TStringList *value);
    TSyntaxType SyntaxType() const { return m_syntaxType; }
    void SetSyntaxType(TSyntaxType value);
    bool IsSyntaxMacro() const { return m_isSyntaxMacro; }

    // Every field, the syntax state and the tabs; one change notification.
    void Assign(const TPersistent *source) override;

    // Name, or the class name while the name is empty.
    QString GetDisplayName() const override;

private:
    QStringList TabStrings() const { return m_tabs->ToQStringList(); }
    void SetTabStrings(const QStringList &value);

    template<class T> void Store(T &field, const T &value);
    void NotifyChange();

    QString m_name;
    TColor m_color = 0;
    QString m_typeFace;
    int m_unknown1 = 0;
    int m_size = 0;
    int m_unknown2 = 0;
    TFontStyles m_style;
    TAlignment m_alignment = taLeftJustify;
    bool m_bullet = false;
    int m_leftMargin = 0;
    int m_rightMargin = 0;
    int m_indent = 0;
    std::unique_ptr<TStringList> m_tabs;
    TSyntaxType m_syntaxType = stDelphi;
    bool m_isSyntaxMacro = false;
    // While Assign copies, the field changes are reported once at the end.
    int m_silent = 0;
};

class TQMTextMacros : public TGCollection
{
    Q_GADGET

public:
    QM_METAOBJECT

    explicit TQMTextMacros(TPersistent *owner = nullptr);
    ~TQMTextMacros() override;

    TQMTextMacro *Add() { return static_cast<TQMTextMacro *>(TCollection::Add()); }
    TQMTextMacro *Insert(int index) { return static_cast<TQMTextMacro *>(TCollection::Insert(index)); }
    TQMTextMacro *Items(int index) const { return static_cast<TQMTextMacro *>(TCollection::Items(index)); }

    // The owner's view of the collection: adds and removals as they happen,
    // changes as the collection reports them (null for the whole list).
    std::function<void(TQMTextMacro *macro, TCollectionNotification action)> OnItemNotify;
    std::function<void(TQMTextMacro *macro)> OnItemUpdate;

protected:
    void Update(TCollectionItem *item) override;
    void Notify(TCollectionItem *item, TCollectionNotification action) override;
};
