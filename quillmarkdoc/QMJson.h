#pragma once

// JSON of the model's published properties, read through the meta-object
// system: the keys are the property names, so a property added to a class
// shows up without touching this code. Values follow their type: integers
// and Booleans as JSON numbers and literals, strings and string lists as
// strings and arrays, enumerations as their identifiers, a font style set as
// the four-character style line of the project file, a paragraph alignment
// as the number the file carries, and owned option records as nested
// objects. Properties that are not stored (user-interface tags) are left out.

#include <QByteArray>
#include <QMetaObject>
#include <QStringList>
#include <QStringView>

class TObject;

namespace QMJson {

// A JSON string, UTF-8; a lone surrogate becomes U+FFFD.
void AppendString(QByteArray &out, QStringView text);
void AppendStringArray(QByteArray &out, const QStringList &strings);

// The published properties of a gadget of that meta-object.
void AppendGadget(QByteArray &out, const void *gadget, const QMetaObject &meta);
// The published properties of the object's dynamic class. A contents entry
// also carries "Topic", the number of the topic its link resolved to (null
// when none).
void AppendObject(QByteArray &out, const TObject &object);

} // namespace QMJson
