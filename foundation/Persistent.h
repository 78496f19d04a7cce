#pragma once

// The root of the object tree: every object that can copy itself from another
// (fonts, string lists, collections and their items, option records) derives
// from TPersistent. Published properties are declared with Q_PROPERTY on
// Q_GADGET classes; MetaObject() gives the dynamic type's meta-object so the
// inspector and the command line can walk them through a base pointer.

#include <QObject>
#include <QString>

#include <exception>
#include <functional>

class TObject
{
    Q_GADGET

public:
    TObject() = default;
    TObject(const TObject &) = delete;
    TObject &operator=(const TObject &) = delete;
    virtual ~TObject();

    // Every Q_GADGET subclass overrides this (QM_METAOBJECT does it in one
    // line), so ClassName() and the property walk see the dynamic type.
    virtual const QMetaObject *MetaObject() const { return &staticMetaObject; }

    // The class name as error messages and display names show it. Defaults
    // to the meta-object's class name.
    virtual QString ClassName() const;
};

// Put after Q_GADGET in every subclass of TObject.
#define QM_METAOBJECT                                                                                        \
    const QMetaObject *MetaObject() const override                                                           \
    {                                                                                                        \
        return &staticMetaObject;                                                                            \
    }

// The plain notification event: the sender is the object that changed.
using TNotifyEvent = std::function<void(TObject *sender)>;

class TPersistent : public TObject
{
    Q_GADGET

public:
    QM_METAOBJECT

    // Copies the source into this object. The default hands the work to the
    // source's AssignTo, so a class can teach an existing class to accept it
    // without touching it. A null source fails with "Cannot assign a nil to
    // a <class>".
    virtual void Assign(const TPersistent *source);

    // Copies this object into the destination. The default fails with
    // EAssignError "Cannot assign a <this class> to a <destination class>".
    virtual void AssignTo(TPersistent *destination) const;
};

// Begin/end-update bracket that also closes when the work in between throws.
// T needs BeginUpdate() and EndUpdate(). If EndUpdate's change event throws
// while another exception is already on its way, the first one wins.
template<class T> class TUpdateScope
{
public:
    explicit TUpdateScope(T &target)
        : m_target(target)
        , m_exceptions(std::uncaught_exceptions())
    {
        m_target.BeginUpdate();
    }
    TUpdateScope(const TUpdateScope &) = delete;
    TUpdateScope &operator=(const TUpdateScope &) = delete;
    ~TUpdateScope() noexcept(false)
    {
        if (std::uncaught_exceptions() > m_exceptions) {
            try {
                m_target.EndUpdate();
            } catch (...) {
            }
        } else {
            m_target.EndUpdate();
        }
    }

private:
    T &m_target;
    int m_exceptions;
};
