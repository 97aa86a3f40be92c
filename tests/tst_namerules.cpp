// The pure rules of new names: the count start read from a text, the number format, extensions
// and the names that are refused.
#include <QTest>

#include "fileops/namerules.h"

using namespace orvella;

class TestNameRules : public QObject {
    Q_OBJECT
private slots:
    void countStart_data();
    void countStart();
    void formatting_data();
    void formatting();
    void extensions_data();
    void extensions();
    void names();
    void refusals_data();
    void refusals();
};

void TestNameRules::countStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("1") << "1" << true << 1;
    QTest::newRow("7") << "7" << true << 7;
    QTest::newRow("abc") << "abc" << true << 0;
    QTest::newRow("empty") << "" << true << 0;
    QTest::newRow("2.5 to even") << "2.5" << true << 2;
    QTest::newRow("3.5 to even") << "3.5" << true << 4;
    QTest::newRow("2.6") << "2.6" << true << 3;
    QTest::newRow("blank inside") << "1 2" << true << 12;
    QTest::newRow("leading blank") << " 4" << true << 4;
    QTest::newRow("tab and line feed") << "\t1\n0" << true << 10;
    QTest::newRow("stops at a letter") << "12abc3" << true << 12;
    QTest::newRow("negative") << "-3" << true << -3;
    QTest::newRow("plus") << "+8" << true << 8;
    QTest::newRow("hex") << "&H10" << true << 16;
    QTest::newRow("hex lower") << "&hff" << true << 255;
    QTest::newRow("hex 16-bit signed") << "&HFFFF" << true << -1;
    QTest::newRow("octal") << "&O17" << true << 15;
    QTest::newRow("bare ampersand octal") << "&17" << true << 15;
    QTest::newRow("exponent") << "1e3" << true << 1000;
    QTest::newRow("exponent without digits") << "5e" << true << 5;
    QTest::newRow("D exponent") << "2D2" << true << 200;
    QTest::newRow("point only") << "." << true << 0;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("beyond 32 bits") << "99999999999" << false << 0;
    QTest::newRow("just beyond") << "2147483648" << false << 0;
    QTest::newRow("huge exponent") << "1e400" << false << 0;
}

void TestNameRules::countStart()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto v = orvella::countStart(text);
    QCOMPARE(v.has_value(), ok);
    if (ok)
        QCOMPARE(*v, value);
}

void TestNameRules::formatting_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("signedText");
    QTest::newRow("0") << qint64(0) << " 000"
                       << " 0";
    QTest::newRow("1") << qint64(1) << " 001"
                       << " 1";
    QTest::newRow("42") << qint64(42) << " 042"
                        << " 42";
    QTest::newRow("1000") << qint64(1000) << " 1000"
                          << " 1000";
    QTest::newRow("1234") << qint64(1234) << " 1234"
                          << " 1234";
    QTest::newRow("-3") << qint64(-3) << " -003"
                        << "-3";
    QTest::newRow("-1234") << qint64(-1234) << " -1234"
                           << "-1234";
}

void TestNameRules::formatting()
{
    QFETCH(qint64, n);
    QFETCH(QString, count);
    QFETCH(QString, signedText);
    QCOMPARE(formatCount(n), count);
    QCOMPARE(orvella::signedText(n), signedText);
}

void TestNameRules::extensions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::newRow("jpg") << "a.jpg"
                         << ".jpg";
    QTest::newRow("capital") << "b.JPG"
                             << ".JPG";
    QTest::newRow("jpeg keeps four letters") << "photo.jpeg"
                                             << ".jpeg";
    QTest::newRow("icon") << "a.icon"
                          << ".icon";
    QTest::newRow("last dot") << "photo.2004.jpg"
                              << ".jpg";
    QTest::newRow("tar.gz") << "archive.tar.gz"
                            << ".gz";
    QTest::newRow("dot file") << ".profile"
                              << ".profile";
    QTest::newRow("no dot") << "notes"
                            << "";
    QTest::newRow("blank in name") << "UPPER CASE.JPG"
                                   << ".JPG";
    QTest::newRow("empty") << ""
                           << "";
}

void TestNameRules::extensions()
{
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QCOMPARE(extensionOf(name), extension);
}

void TestNameRules::names()
{
    QCOMPARE(newName(QStringLiteral("Holiday"), 1, QStringLiteral(".jpg"), true), QStringLiteral("Holiday 001.jpg"));
    QCOMPARE(newName(QStringLiteral("Holiday"), 4, QString(), true), QStringLiteral("Holiday 004"));
    QCOMPARE(newName(QStringLiteral("Holiday"), 9, QStringLiteral(".JPG"), false), QStringLiteral("Holiday.JPG"));
    QCOMPARE(newName(QString(), 1, QStringLiteral(".jpg"), true), QStringLiteral(" 001.jpg"));
    QCOMPARE(newName(QString(), 1, QStringLiteral(".jpg"), false), QStringLiteral(".jpg"));
    QCOMPARE(newName(QStringLiteral(" pad "), 2, QStringLiteral(".gif"), true), QStringLiteral(" pad  002.gif"));
}

void TestNameRules::refusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("plain") << "Holiday 001.jpg" << false;
#ifdef Q_OS_WIN
    QTest::newRow("only extension") << ".jpg" << false;
#else
    QTest::newRow("only extension: a hidden file") << ".jpg" << true;
    QTest::newRow("dotted prefix: a hidden file") << ".Holiday 001.jpg" << true;
#endif
    QTest::newRow("blank first") << " 001.jpg" << false;
    QTest::newRow("slash") << "../x 001.jpg" << true;
    QTest::newRow("backslash") << "a\\b 001.jpg" << true;
    QTest::newRow("dot") << "." << true;
    QTest::newRow("dot dot") << ".." << true;
    QTest::newRow("empty") << "" << true;
}

void TestNameRules::refusals()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QCOMPARE(!newNameRefusal(name).isEmpty(), refused);
}

QTEST_MAIN(TestNameRules)
#include "tst_namerules.moc"
