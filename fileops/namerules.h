#pragma once

#include <optional>

#include <QString>

namespace orvella {

// The numeric value of a text as the count-start boxes read it: blanks, tabs and line feeds are
// dropped, then the longest leading number is taken (sign, digits, decimal point, exponent; or
// &H hexadecimal and &O octal digits). A text without a number gives 0. Empty when the number
// cannot be held at all.
std::optional<double> numericValue(const QString &text);

// The first number of a run: the text's numeric value rounded to a whole number, halves to the
// even neighbour (2.5 gives 2, 3.5 gives 4). Empty when outside the signed 32-bit range.
std::optional<qint32> countStart(const QString &text);

// The running number as it goes into a name: a blank, then at least three digits (" 001",
// " 042", " 1000"); a negative number keeps its sign after the blank (" -003").
QString formatCount(qint64 n);

// A number as text with a sign position: a leading blank for zero and up (" 4"), a minus sign
// below zero ("-3").
QString signedText(qint64 n);

// Everything from the last dot of a file name, dot included ("photo.jpeg" gives ".jpeg",
// ".profile" the whole name, "notes" nothing). The letter case is kept.
QString extensionOf(const QString &fileName);

// A new name: prefix, the formatted number when numbered, and the extension.
QString newName(const QString &prefix, qint64 number, const QString &extension, bool numbered);

// Why a new name must not be used (it holds a path separator or a character no file name may
// hold, is "." or "..", or would make the file hidden), or an empty text when it is fine. Such a name would send the
// picture into another folder or fail half-way through a run.
QString newNameRefusal(const QString &name);

} // namespace orvella
