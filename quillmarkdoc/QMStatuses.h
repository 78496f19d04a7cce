#pragma once

// Topic statuses: a name and a font. The font is a delta font on a base font
// (the document's editor font), so a status that only changes the colour
// keeps following the editor font's name and size.

#include "foundation/Collection.h"
#include "foundation/Font.h"
#include "foundation/KvDeltaFont.h"

#include <QString>

#include <functional>
#include <memory>

class TQMStatuses;

class TQMStatus : public TCollectionItem
{
    Q_GADGET
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(TKvCustomDeltaFont *Font READ Font WRITE SetFont)

public:
    QM_METAOBJECT

    // Inside a collection with a base font, the font starts as a copy of it.
    explicit TQMStatus(TCollection *collection = nullptr);
    ~TQMStatus() override;

    const QString &Text() const { return m_text; }
    void SetText(const QString &value);
    // Every change of the font is a change of the status.
    TKvCustomDeltaFont *Font() const { return m_font.get(); }
    void SetFont(const TFont *value);

    // Text and font; one change notification.
    void Assign(const TPersistent *source) override;

    // Text, or the class name while the text is empty.
    QString GetDisplayName() const override;

private:
    void NotifyChange();
    const TFont *BaseFont() const;

    QString m_text;
    std::unique_ptr<TKvCustomDeltaFont> m_font;
    int m_silent = 0;
};

class TQMStatuses : public TCollection
{
    Q_GADGET

public:
    QM_METAOBJECT

    // baseFont, when given, must outlive the collection.
    explicit TQMStatuses(TPersistent *owner = nullptr, const TFont *baseFont = nullptr);
    ~TQMStatuses() override;

    TQMStatus *Add() { return static_cast<TQMStatus *>(TCollection::Add()); }
    TQMStatus *Items(int index) const { return static_cast<TQMStatus *>(TCollection::Items(index)); }

    // First status whose text equals the text case-insensitively; -1 if none.
    int IndexOfText(const QString &text) const;

    const TFont *BaseFont() const { return m_baseFont; }
    // Takes the base font's attributes into every status font where that
    // font does not differ from it.
    void ApplyBase();

    // The owner's view of changes (null for the whole list).
    std::function<void(TQMStatus *status)> OnItemUpdate;

protected:
    void Update(TCollectionItem *item) override;

private:
    const TFont *m_baseFont;
};
