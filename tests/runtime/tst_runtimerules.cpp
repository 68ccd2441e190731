#include "runtime/forms.h"
#include "runtime/units.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace forms;

class RuntimeRules : public QObject
{
    Q_OBJECT

private slots:
    void twips_data();
    void twips();
    void storedColors_data();
    void storedColors();
    void badColorsRaise_data();
    void badColorsRaise();
    void integerArithmetic_data();
    void integerArithmetic();
    void leftAndLen_data();
    void leftAndLen();
    void captions_data();
    void captions();
    void programFolder_data();
    void programFolder();
    void loadPictureRefuses_data();
    void loadPictureRefuses();
    void loadPictureReadsAfresh();
    void missingFacesHaveLookAlikes_data();
    void missingFacesHaveLookAlikes();

private:
    QTemporaryDir m_dir;
};

void RuntimeRules::twips_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");
    QTest::addRow("apple_width") << 5370.0 << 358;
    QTest::addRow("english_client_width") << 16755.0 << 1117;
    QTest::addRow("ten_twips_round_to_one") << 10.0 << 1;
    QTest::addRow("seven_round_down") << 7.0 << 0;
    QTest::addRow("negative") << -150.0 << -10;
}

void RuntimeRules::twips()
{
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips), pixels);
}

void RuntimeRules::storedColors_data()
{
    QTest::addColumn<quint32>("stored");
    QTest::addColumn<QColor>("color");
    QTest::addRow("dark_red_is_bgr") << quint32(0x00040466) << QColor(102, 4, 4);
    QTest::addRow("pink") << quint32(0x00C0C0FF) << QColor(255, 192, 192);
    QTest::addRow("blue_in_high_byte") << quint32(0x00FF0000) << QColor(0, 0, 255);
    QTest::addRow("button_face") << quint32(0x8000000F)
                                 << QGuiApplication::palette().color(QPalette::Button);
    QTest::addRow("button_text") << quint32(0x80000012)
                                 << QGuiApplication::palette().color(QPalette::ButtonText);
    QTest::addRow("workspace") << quint32(0x8000000C)
                               << QGuiApplication::palette().color(QPalette::Dark);
}

void RuntimeRules::storedColors()
{
    QFETCH(quint32, stored);
    QFETCH(QColor, color);
    QCOMPARE(colorFromStored(stored), color);
}

void RuntimeRules::badColorsRaise_data()
{
    QTest::addColumn<quint32>("stored");
    QTest::addRow("unknown_system_colour") << quint32(0x80000040);
    QTest::addRow("high_byte_not_system") << quint32(0x01000000);
}

void RuntimeRules::badColorsRaise()
{
    QFETCH(quint32, stored);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, colorFromStored(stored));
}

void RuntimeRules::integerArithmetic_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<char>("op");
    QTest::addColumn<bool>("overflows");
    QTest::addColumn<int>("result");
    QTest::addRow("next_card") << 89 << 1 << '+' << false << 90;
    QTest::addRow("top_edge") << 32766 << 1 << '+' << false << 32767;
    QTest::addRow("past_top") << 32767 << 1 << '+' << true << 0;
    QTest::addRow("bottom_edge") << -32767 << 1 << '-' << false << -32768;
    QTest::addRow("past_bottom") << -32768 << 1 << '-' << true << 0;
    QTest::addRow("product_too_big") << 200 << 200 << '*' << true << 0;
}

void RuntimeRules::integerArithmetic()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(char, op);
    QFETCH(bool, overflows);
    QFETCH(int, result);
    const Integer x = a, y = b;
    auto compute = [&] { return op == '+' ? x + y : op == '-' ? x - y : x * y; };
    if (!overflows) {
        QCOMPARE(int(compute()), result);
        return;
    }
    try {
        compute();
        QFAIL("no overflow raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(Overflow));
    }
}

void RuntimeRules::leftAndLen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("left");
    QTest::addRow("more_than_length") << "abc" << 5 << "abc";
    QTest::addRow("none") << "abc" << 0 << "";
    QTest::addRow("ticker_16") << "Learn Alphabet && Number Yourself" << 16 << "Learn Alphabet &";
    QTest::addRow("empty_text") << "" << 3 << "";
}

void RuntimeRules::leftAndLen()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, left);
    QCOMPARE(Left(text, n), left);
    QCOMPARE(Len(left), int(left.size()));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, Left(text, -1));
}

void RuntimeRules::captions_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::addRow("access_key") << "&Help"
                                << "Help";
    QTest::addRow("double_draws_one") << "Learn Alphabet && Number"
                                      << "Learn Alphabet & Number";
    QTest::addRow("lone_last_hidden") << "Learn Alphabet &"
                                      << "Learn Alphabet ";
    QTest::addRow("key_after_double") << "A&&B &OK"
                                      << "A&B OK";
    QTest::addRow("plain") << "|<<"
                           << "|<<";
}

void RuntimeRules::captions()
{
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QCOMPARE(displayText(caption), shown);
}

void RuntimeRules::programFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::addRow("plain") << "/opt/quorbel"
                           << "/opt/quorbel";
    QTest::addRow("trailing_slash") << "/opt/quorbel/"
                                    << "/opt/quorbel";
    QTest::addRow("root") << "/"
                          << "/";
    QTest::addRow("drive_root") << "C:\\"
                                << "C:\\";
    QTest::addRow("drive_folder") << "C:\\Lessons\\"
                                  << "C:\\Lessons";
}

void RuntimeRules::programFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(withoutTrailingSeparator(folder), path);
    App::setPath(folder);
    QCOMPARE(App::Path(), path);
    App::setPath({});
    QCOMPARE(App::Path(), QCoreApplication::applicationDirPath());
}

static QByteArray jpegBytes(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(image);
    return buffer.data();
}

static void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void RuntimeRules::loadPictureRefuses_data()
{
    QVERIFY(m_dir.isValid());
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("number");
    const QString d = m_dir.path();
    writeFile(d + "/zero.jpg", {});
    const QByteArray good = jpegBytes({40, 30});
    writeFile(d + "/half.jpg", good.left(good.size() / 2));
    writeFile(d + "/text.jpg", "not a picture at all");
    QDir(d).mkdir("folder.jpg");
    QCOMPARE(::mkfifo(QFile::encodeName(d + "/fifo.jpg").constData(), 0600), 0);
    {
        QFile sparse(d + "/huge.jpg");
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        sparse.write(good);
        sparse.resize(MaxPictureFileBytes + 1);
    }
    {
        QImage wide(MaxPictureSide + 1, 1, QImage::Format_Mono);
        wide.fill(0);
        QVERIFY(wide.save(d + "/wide.png"));
    }
    QTest::addRow("missing_file") << d + "/nothing.jpg" << int(FileNotFound);
    QTest::addRow("missing_folder") << d + "/images/a.jpg" << int(FileNotFound);
    QTest::addRow("backslashes_missing") << d + "\\images\\a.jpg" << int(FileNotFound);
    QTest::addRow("zero_bytes") << d + "/zero.jpg" << int(InvalidPicture);
    QTest::addRow("cut_off_jpeg") << d + "/half.jpg" << int(InvalidPicture);
    QTest::addRow("not_a_picture") << d + "/text.jpg" << int(InvalidPicture);
    QTest::addRow("directory") << d + "/folder.jpg" << int(InvalidPicture);
    QTest::addRow("fifo_does_not_block") << d + "/fifo.jpg" << int(InvalidPicture);
    QTest::addRow("over_32_mib") << d + "/huge.jpg" << int(InvalidPicture);
    QTest::addRow("too_wide") << d + "/wide.png" << int(InvalidPicture);
}

void RuntimeRules::loadPictureRefuses()
{
    QFETCH(QString, path);
    QFETCH(int, number);
    try {
        LoadPicture(path);
        QFAIL("the picture loaded");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), number);
        QString named = path;
        named.replace(u'\\', u'/');
        QVERIFY2(error.message().contains(named), qPrintable(error.message()));
    }
}

void RuntimeRules::loadPictureReadsAfresh()
{
    QVERIFY(LoadPicture(QString()).isEmpty());
    const QString path = m_dir.path() + "/card.jpg";
    writeFile(path, jpegBytes({40, 30}));
    QCOMPARE(LoadPicture(path).image().size(), QSize(40, 30));
    // The same path again, with other content: no cache may answer.
    writeFile(path, jpegBytes({20, 10}));
    QCOMPARE(LoadPicture(path).image().size(), QSize(20, 10));
    QString windowsStyle = path;
    windowsStyle.replace(u'/', u'\\');
    QCOMPARE(LoadPicture(windowsStyle).image().size(), QSize(20, 10));
}

void RuntimeRules::missingFacesHaveLookAlikes_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("lookAlike");
    QTest::addRow("times") << "Times New Roman"
                           << "Liberation Serif";
    QTest::addRow("verdana") << "Verdana"
                             << "DejaVu Sans";
    QTest::addRow("ms_sans_serif") << "MS Sans Serif"
                                   << "DejaVu Sans";
    QTest::addRow("ms_serif") << "MS Serif"
                              << "DejaVu Serif";
    QTest::addRow("corsiva") << "Monotype Corsiva"
                             << "Z003";
    QTest::addRow("bank_gothic") << "BankGothic Md BT"
                                 << "Jura";
}

void RuntimeRules::missingFacesHaveLookAlikes()
{
    QFETCH(QString, face);
    QFETCH(QString, lookAlike);
    const QString installed = installedFace(face);
    if (QFontDatabase::hasFamily(face))
        QCOMPARE(installed, face);
    else
        QCOMPARE(installed, lookAlike);
    QVERIFY2(QFontDatabase::hasFamily(installed), qPrintable(installed + " is not installed"));
}

QTEST_MAIN(RuntimeRules)
#include "tst_runtimerules.moc"
