#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>

namespace orvella {

// The chunks of a PNG file, read without the PNG library so that nothing the file holds besides
// its pixels is ever inflated: text chunks can hold gigabytes compressed into kilobytes.

inline constexpr QByteArrayView PngSignature("\x89PNG\r\n\x1a\n", 8);

// The same PNG with only the chunks that make its pixels (header, palette, transparency, data,
// end), every other one dropped; size, when given, gets the size its header declares. Empty when
// png is not a sound sequence of chunks.
QByteArray pngPixelsOnly(QByteArrayView png, QSize *size = nullptr);

// The text png records under keyword (a tEXt, zTXt or iTXt chunk whose check sum holds; the first
// one), as stored: Latin-1 for tEXt and zTXt, UTF-8 for iTXt. A compressed text is inflated to at
// most maxBytes; a longer one, like a missing one, gives a null array.
QByteArray pngText(QByteArrayView png, QByteArrayView keyword, qsizetype maxBytes = 64 * 1024);

} // namespace orvella
