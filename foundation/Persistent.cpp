#include "foundation/Persistent.h"

#include "foundation/Exceptions.h"

TObject::~TObject() = default;

QString TObject::ClassName() const
{
    return QString::fromLatin1(MetaObject()->className());
}

void TPersistent::Assign(const TPersistent *source)
{
    if (!source)
        ThrowAssignError(QStringLiteral("nil"), ClassName());
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent *destination) const
{
    ThrowAssignError(ClassName(), destination ? destination->ClassName() : QStringLiteral("nil"));
}
