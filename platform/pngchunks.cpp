#include "platform/pngchunks.h"

#include <zlib.h>

namespace orvella {

namespace {

quint32 bigEndian32(QByteArrayView data, qsizetype at)
{
    return quint32(quint8(data[at])) << 24 | quint32(quint8(data[at + 1])) << 16 | quint32(quint8(data[at + 2])) << 8
        | quint8(data[at + 3]);
}

// Walks the chunks after the signature, calling visit(type, body, whole chunk) until it returns
// false; false when the chunks do not fit the data or no end chunk closes them.
template <typename Visit> bool walkChunks(QByteArrayView png, Visit visit)
{
    if (!png.startsWith(PngSignature))
        return false;
    qsizetype at = PngSignature.size();
    while (png.size() - at >= 12) {
        const quint32 length = bigEndian32(png, at);
        if (length > quint64(png.size() - at - 12))
            return false;
        const QByteArrayView type = png.sliced(at + 4, 4);
        const QByteArrayView whole = png.sliced(at, 12 + qsizetype(length));
        if (!visit(type, whole.sliced(8, length), whole))
            return true;
        if (type == "IEND")
            return true;
        at += whole.size();
    }
    return false;
}

bool checkSumHolds(QByteArrayView whole)
{
    const QByteArrayView covered = whole.sliced(4, whole.size() - 8);
    const uLong sum = crc32(0, reinterpret_cast<const Bytef *>(covered.data()), uInt(covered.size()));
    return sum == bigEndian32(whole, whole.size() - 4);
}

// Inflates a zlib stream, giving up (a null array) past maxBytes.
QByteArray inflateBounded(QByteArrayView data, qsizetype maxBytes)
{
    z_stream z {};
    if (inflateInit(&z) != Z_OK)
        return {};
    QByteArray out(maxBytes, Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    const int result = inflate(&z, Z_FINISH);
    const qsizetype produced = out.size() - qsizetype(z.avail_out);
    inflateEnd(&z);
    // A stream that does not end within the buffer is longer than maxBytes.
    if (result != Z_STREAM_END)
        return {};
    out.truncate(produced);
    return out;
}

} // namespace

QByteArray pngPixelsOnly(QByteArrayView png, QSize *size)
{
    QByteArray out = PngSignature.toByteArray();
    bool header = false, end = false;
    const bool sound = walkChunks(png, [&](QByteArrayView type, QByteArrayView body, QByteArrayView whole) {
        if (type == "IHDR" && body.size() >= 8) {
            header = true;
            if (size)
                *size = QSize(int(bigEndian32(body, 0)), int(bigEndian32(body, 4)));
        }
        end = type == "IEND";
        if (type == "IHDR" || type == "PLTE" || type == "tRNS" || type == "IDAT" || end)
            out.append(whole);
        return true;
    });
    if (!sound || !header || !end)
        return {};
    return out;
}

QByteArray pngText(QByteArrayView png, QByteArrayView keyword, qsizetype maxBytes)
{
    QByteArray text;
    walkChunks(png, [&](QByteArrayView type, QByteArrayView body, QByteArrayView whole) {
        const bool plain = type == "tEXt", compressed = type == "zTXt", international = type == "iTXt";
        if (!(plain || compressed || international) || !body.startsWith(keyword) || body.size() <= keyword.size()
            || body[keyword.size()] != '\0' || !checkSumHolds(whole))
            return true;
        QByteArrayView rest = body.sliced(keyword.size() + 1);
        bool inflated = compressed;
        if (compressed) {
            // The compression method (0: zlib) comes first.
            rest = rest.sliced(std::min<qsizetype>(1, rest.size()));
        } else if (international) {
            // Compressed or not, the method, then a language tag and a translated keyword.
            if (rest.size() < 2)
                return false;
            inflated = rest[0] != '\0';
            rest = rest.sliced(2);
            for (int field = 0; field < 2; ++field) {
                const qsizetype nul = rest.indexOf('\0');
                if (nul < 0)
                    return false;
                rest = rest.sliced(nul + 1);
            }
        }
        text = inflated ? inflateBounded(rest, maxBytes) : rest.size() <= maxBytes ? rest.toByteArray() : QByteArray();
        return false;
    });
    return text;
}

} // namespace orvella
