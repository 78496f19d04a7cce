#pragma once

// The enumerations of the document model. They live in one Q_NAMESPACE so
// the inspector, the command line and the dump can turn them into names and
// back; the enumerators are also brought to the global scope, where the rest
// of the program names them without a prefix (ftHTML, stSQL).

#include <QObject>

namespace QMEnums {
Q_NAMESPACE

// Each enumeration has int as its underlying type: a file may carry a number
// that none of the names stands for, and it is kept and written back as read.

// The kind of help file the authoring tool builds; the file carries the number.
enum THelpFileType : int { ft16Bit, ft32Bit, ftHTML };
Q_ENUM_NS(THelpFileType)

enum TWebExportOutputFormat : int { ofSimple, ofSimpleNavigation, ofContents };
Q_ENUM_NS(TWebExportOutputFormat)

// The language a syntax macro colours. Each value has one reserved macro
// name, matched in this order.
enum TSyntaxType : int { stCPlusPlus, stDFM, stJScript, stSQL, stVB, stVBScript, stXML, stDelphi };
Q_ENUM_NS(TSyntaxType)

// Paragraph alignment of a text macro, as the file stores it.
enum TAlignment : int { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

} // namespace QMEnums

using QMEnums::TAlignment;
using QMEnums::THelpFileType;
using QMEnums::TSyntaxType;
using QMEnums::TWebExportOutputFormat;
using enum QMEnums::THelpFileType;
using enum QMEnums::TWebExportOutputFormat;
using enum QMEnums::TSyntaxType;
using enum QMEnums::TAlignment;
