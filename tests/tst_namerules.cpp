// The pure rules of new names: the count start read from a text, the number format, extensions
// and the names that are refused.
#include <QTest>

#include "fileops/namerules.h"

using namespace orvella;
using namespace Qt::StringLiterals;

class TestNameRules : public QObject {
    Q_OBJECT
private slots:
    void countStart();
    void formatting();
    void namesAndExtensions();
};

void TestNameRules::countStart()
{
    constexpr qint64 Refused = 1LL << 40; // beyond 32 bits: no count start at all
    const std::pair<const char *, qint64> rows[]
        = {{"1", 1}, {"7", 7}, {"abc", 0}, {"", 0}, {"2.5", 2}, {"3.5", 4}, {"2.6", 3}, {"1 2", 12}, {" 4", 4},
            {"\t1\n0", 10}, {"12abc3", 12}, {"-3", -3}, {"+8", 8}, {"&H10", 16}, {"&hff", 255}, {"&HFFFF", -1},
            {"&O17", 15}, {"&17", 15}, {"1e3", 1000}, {"5e", 5}, {"2D2", 200}, {".", 0}, {"2147483647", 2147483647},
            {"-2147483648", -2147483648LL}, {"99999999999", Refused}, {"2147483648", Refused}, {"1e400", Refused}};
    for (const auto &[text, value] : rows) {
        const auto v = orvella::countStart(QString::fromUtf8(text));
        QCOMPARE(v ? qint64(*v) : Refused, value);
    }
}

void TestNameRules::formatting()
{
    const std::tuple<qint64, const char *, const char *> rows[] = {{0, " 000", " 0"}, {1, " 001", " 1"},
        {42, " 042", " 42"}, {1000, " 1000", " 1000"}, {-3, " -003", "-3"}, {-1234, " -1234", "-1234"}};
    for (const auto &[n, count, sign] : rows) {
        QCOMPARE(formatCount(n), QString::fromLatin1(count));
        QCOMPARE(signedText(n), QString::fromLatin1(sign));
    }
    QCOMPARE(newName(u" pad "_s, 2, u".gif"_s, true), u" pad  002.gif"_s);
    QCOMPARE(newName(u"Holiday"_s, 4, QString(), true), u"Holiday 004"_s);
    QCOMPARE(newName(u"Holiday"_s, 9, u".JPG"_s, false), u"Holiday.JPG"_s);
}

void TestNameRules::namesAndExtensions()
{
    // Names that would hide the file, name a folder, send it elsewhere or not be a name at all.
    const QString refused[] = {u".jpg"_s, u".Holiday 001.jpg"_s, u"../x 001.jpg"_s, u"a\\b 001.jpg"_s, u"."_s, u".."_s,
        QString(), u"a"_s + QChar(0) + u"b.jpg"_s};
    for (const QString &name : refused)
        QVERIFY2(!newNameRefusal(name).isEmpty(), qPrintable(name));
    QCOMPARE(newNameRefusal(u"Holiday 001.jpg"_s), QString());
    QCOMPARE(newNameRefusal(u" 001.jpg"_s), QString());
    // The extension runs from the last dot, letter case kept.
    const std::pair<const char *, const char *> rows[]
        = {{"a.jpg", ".jpg"}, {"b.JPG", ".JPG"}, {"photo.jpeg", ".jpeg"}, {"photo.2004.jpg", ".jpg"},
            {"archive.tar.gz", ".gz"}, {".profile", ".profile"}, {"notes", ""}, {"UPPER CASE.JPG", ".JPG"}, {"", ""}};
    for (const auto &[name, extension] : rows)
        QCOMPARE(extensionOf(QString::fromLatin1(name)), QString::fromLatin1(extension));
}

QTEST_MAIN(TestNameRules)
#include "tst_namerules.moc"
