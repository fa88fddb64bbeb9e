// The helpers of the benchmark tools: /proc readers, statistics, and the
// recognition of a grabbed card among the faces.
#include <QtTest>
#include "mesures.h"

using namespace banc;

Q_DECLARE_METATYPE(std::optional<long long>)

class TestMesures : public QObject {
    Q_OBJECT
private slots:
    void ticks_data();
    void ticks();
    void champs_data();
    void champs();
    void contextes_data();
    void contextes();
    void resume_data();
    void resume();
    void reconnaissance();
};

namespace {
// A /proc/PID/stat line with the given command, utime 1234 and stime 56.
std::string ligneStat(const std::string &commande)
{
    return "4242 (" + commande + ") S 1 4242 4242 0 -1 4194560 9000 0 12 0 1234 56 0 0 20 0 5 0 777 "
           "600000000 14000 18446744073709551615 1 1 0 0 0 0 0 4096 0 0 0 17 1 0 0 0 0 0\n";
}

Image uni(int r, int g, int b, int largeur = 20, int hauteur = 30)
{
    Image im;
    im.largeur = largeur;
    im.hauteur = hauteur;
    for (int i = 0; i < largeur * hauteur; ++i)
        im.rgb.insert(im.rgb.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    return im;
}
} // namespace

void TestMesures::ticks_data()
{
    QTest::addColumn<QByteArray>("stat");
    QTest::addColumn<std::optional<long long>>("attendu");
    QTest::newRow("plain command") << QByteArray::fromStdString(ligneStat("MerleVert")) << std::optional<long long>(1290);
    // The command may hold blanks and parentheses: the fields count from the last ')'.
    QTest::newRow("blanks and parentheses") << QByteArray::fromStdString(ligneStat("Merle Vert) S 9 (x"))
                                            << std::optional<long long>(1290);
    QTest::newRow("cut before stime") << QByteArray("4242 (a) S 1 4242 4242 0 -1 4194560 9000 0 12 0 1234")
                                      << std::optional<long long>();
    QTest::newRow("no command") << QByteArray("4242 a S 1 2 3") << std::optional<long long>();
    QTest::newRow("utime not a number") << QByteArray("1 (a) S 1 1 1 0 -1 0 0 0 0 0 x 5 0")
                                        << std::optional<long long>();
}

void TestMesures::ticks()
{
    QFETCH(QByteArray, stat);
    QFETCH(std::optional<long long>, attendu);
    QCOMPARE(ticksCpu(stat.toStdString()), attendu);
}

void TestMesures::champs_data()
{
    QTest::addColumn<QByteArray>("texte");
    QTest::addColumn<QByteArray>("nom");
    QTest::addColumn<std::optional<long long>>("attendu");
    const QByteArray status = "Name:\tMerleVert\nVmPeak:\t  700000 kB\nVmRSS:\t   58316 kB\nRssAnon:\t 20000 kB\n";
    const QByteArray rollup = "00400000-7ffc0000 ---p 00000000 00:00 0  [rollup]\nRss:  58316 kB\n"
                              "Pss_Anon:  20001 kB\nPss:  49036 kB\nPss_File: 29000 kB\n";
    QTest::newRow("VmRSS") << status << QByteArray("VmRSS") << std::optional<long long>(58316);
    // "Pss_Anon" comes first and starts like "Pss": only the exact field counts.
    QTest::newRow("Pss, not Pss_Anon") << rollup << QByteArray("Pss") << std::optional<long long>(49036);
    QTest::newRow("missing") << status << QByteArray("VmSwap") << std::optional<long long>();
    QTest::newRow("no unit") << QByteArray("VmRSS: 12\n") << QByteArray("VmRSS") << std::optional<long long>();
}

void TestMesures::champs()
{
    QFETCH(QByteArray, texte);
    QFETCH(QByteArray, nom);
    QFETCH(std::optional<long long>, attendu);
    QCOMPARE(champKo(texte.toStdString(), nom.toStdString()), attendu);
}

void TestMesures::contextes_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<std::optional<long long>>("attendu");
    // "nonvoluntary_ctxt_switches" ends like "voluntary_ctxt_switches" and
    // must not be taken for it.
    QTest::newRow("both, involuntary first") << QByteArray("Name:\tx\nnonvoluntary_ctxt_switches:\t7\nvoluntary_ctxt_switches:\t30\n")
                                             << std::optional<long long>(37);
    QTest::newRow("both zero") << QByteArray("voluntary_ctxt_switches:\t0\nnonvoluntary_ctxt_switches:\t0\n")
                               << std::optional<long long>(0);
    QTest::newRow("only involuntary") << QByteArray("nonvoluntary_ctxt_switches:\t7\n") << std::optional<long long>();
    QTest::newRow("empty (task gone)") << QByteArray() << std::optional<long long>();
}

void TestMesures::contextes()
{
    QFETCH(QByteArray, status);
    QFETCH(std::optional<long long>, attendu);
    QCOMPARE(changementsDeContexte(status.toStdString()), attendu);
}

void TestMesures::resume_data()
{
    QTest::addColumn<QList<double>>("valeurs");
    QTest::addColumn<double>("mediane");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("odd, unsorted") << QList<double>{9, 1, 5, 3, 7} << 5.0 << 1.0 << 9.0;
    QTest::newRow("even: mean of the middle two") << QList<double>{4, 1, 10, 2} << 3.0 << 1.0 << 10.0;
    QTest::newRow("one") << QList<double>{2.5} << 2.5 << 2.5 << 2.5;
}

void TestMesures::resume()
{
    QFETCH(QList<double>, valeurs);
    const Resume r = resumer(std::vector<double>(valeurs.begin(), valeurs.end()));
    QFETCH(double, mediane);
    QFETCH(double, min);
    QFETCH(double, max);
    QCOMPARE(r.mediane, mediane);
    QCOMPARE(r.min, min);
    QCOMPARE(r.max, max);
    QCOMPARE(r.n, valeurs.size());
    QCOMPARE(resumer({}).n, 0);
}

void TestMesures::reconnaissance()
{
    const std::vector<Image> faces = {uni(200, 0, 0), uni(0, 0, 200), uni(250, 250, 250)};
    // The grab of face 1 with other pixels on its border (an earlier card's
    // corners): the border is left out.
    Image capture = faces[1];
    for (int x = 0; x < capture.largeur; ++x)
        for (int c = 0; c < 3; ++c)
            capture.rgb[size_t(x) * 3 + c] = 255;
    QCOMPARE(reconnaitre(capture, faces, 2, 12), 1);
    QVERIFY(ecart(capture, faces[1], 0) > 0);
    QCOMPARE(ecart(capture, faces[1], 2), 0.0);
    // Slight noise still names the face.
    Image bruit = faces[0];
    bruit.rgb[size_t(15 * 20 + 10) * 3] = 150;
    QCOMPARE(reconnaitre(bruit, faces, 2, 12), 0);
    // The table's green is no face.
    QCOMPARE(reconnaitre(uni(0, 128, 0), faces, 2, 12), -1);
    // Two faces alike: no clear answer.
    QCOMPARE(reconnaitre(faces[0], {faces[0], faces[0]}, 2, 12), -1);
    // Two aces of red suits differ only in a few pixels: each is still named.
    Image coeur = faces[0];
    for (int y = 10; y < 16; ++y)
        for (int x = 8; x < 12; ++x)
            coeur.rgb[size_t(y * 20 + x) * 3 + 2] = 200;
    QVERIFY(ecart(coeur, faces[0], 2) < 12);
    QCOMPARE(reconnaitre(coeur, {faces[0], coeur}, 2, 12), 1);
    QCOMPARE(reconnaitre(faces[0], {faces[0], coeur}, 2, 12), 0);
    // A grab of another size matches nothing.
    QCOMPARE(reconnaitre(uni(200, 0, 0, 10, 10), faces, 2, 12), -1);
    // Ranks: ace to king in each suit.
    QCOMPARE(rangDe(1), 1);
    QCOMPARE(rangDe(13), 13);
    QCOMPARE(rangDe(14), 1);
    QCOMPARE(rangDe(52), 13);
    QCOMPARE(rangDe(0), 0);
}

QTEST_APPLESS_MAIN(TestMesures)
#include "test_mesures.moc"
