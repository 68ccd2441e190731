#include "runtime/forms.h"
#include "runtime/units.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QImageWriter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace forms;

namespace {

QByteArray jpegBytes(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(image);
    return buffer.data();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A whole small JPEG whose frame header claims width by height pixels.
QByteArray jpegClaiming(int width, int height)
{
    QByteArray bytes = jpegBytes({8, 8});
    const qsizetype frame = bytes.indexOf(QByteArrayView("\xFF\xC0", 2));
    const char claim[] = {char(height >> 8), char(height), char(width >> 8), char(width)};
    bytes.replace(frame + 5, 4, QByteArray(claim, 4));
    return bytes;
}

} // namespace

class RuntimeRules : public QObject
{
    Q_OBJECT

private slots:
    void units_data();
    void units();
    void storedColors_data();
    void storedColors();
    void integerArithmetic_data();
    void integerArithmetic();
    void text_data();
    void text();
    void programFolder_data();
    void programFolder();
    void loadPictureRefuses_data();
    void loadPictureRefuses();
    void loadPictureReadsAfresh();
    void fuzzRegressionsLoadOrAreRefused();
    void facesAreInstalled();

private:
    QTemporaryDir m_dir;
};

void RuntimeRules::units_data()
{
    QTest::addColumn<bool>("points"); // else twips
    QTest::addColumn<double>("size");
    QTest::addColumn<int>("pixels");
    QTest::addRow("twips_apple_width") << false << 5370.0 << 358;
    QTest::addRow("twips_ten_round_to_one") << false << 10.0 << 1;
    QTest::addRow("twips_seven_round_down") << false << 7.0 << 0;
    QTest::addRow("twips_negative") << false << -150.0 << -10;
    QTest::addRow("points_99_75") << true << 99.75 << 133;
    QTest::addRow("points_8_25") << true << 8.25 << 11;
}

void RuntimeRules::units()
{
    QFETCH(bool, points);
    QFETCH(double, size);
    QFETCH(int, pixels);
    QCOMPARE(points ? pointsToPixels(size) : twipsToPixels(size), pixels);
}

void RuntimeRules::storedColors_data()
{
    QTest::addColumn<quint32>("stored");
    QTest::addColumn<QColor>("color"); // invalid: refused
    const QPalette palette = QGuiApplication::palette();
    QTest::addRow("dark_red_is_bgr") << quint32(0x00040466) << QColor(102, 4, 4);
    QTest::addRow("blue_in_high_byte") << quint32(0x00FF0000) << QColor(0, 0, 255);
    QTest::addRow("button_face") << quint32(0x8000000F) << palette.color(QPalette::Button);
    QTest::addRow("workspace") << quint32(0x8000000C) << palette.color(QPalette::Dark);
    QTest::addRow("unknown_system_colour") << quint32(0x80000040) << QColor();
    QTest::addRow("high_byte_not_system") << quint32(0x01000000) << QColor();
}

void RuntimeRules::storedColors()
{
    QFETCH(quint32, stored);
    QFETCH(QColor, color);
    if (color.isValid())
        QCOMPARE(colorFromStored(stored), color);
    else
        QVERIFY_THROWS_EXCEPTION(RuntimeError, colorFromStored(stored));
}

void RuntimeRules::integerArithmetic_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<char>("op");
    QTest::addColumn<int>("result"); // 0: Overflow
    QTest::addRow("top_edge") << 32766 << 1 << '+' << 32767;
    QTest::addRow("past_top") << 32767 << 1 << '+' << 0;
    QTest::addRow("bottom_edge") << -32767 << 1 << '-' << -32768;
    QTest::addRow("past_bottom") << -32768 << 1 << '-' << 0;
    QTest::addRow("product_too_big") << 200 << 200 << '*' << 0;
}

void RuntimeRules::integerArithmetic()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(char, op);
    QFETCH(int, result);
    const Integer x = a, y = b;
    try {
        QCOMPARE(int(op == '+' ? x + y : op == '-' ? x - y : x * y), result);
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(Overflow));
        QCOMPARE(result, 0);
    }
}

void RuntimeRules::text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n"); // Left(text, n); -1: the caption as drawn
    QTest::addColumn<QString>("result");
    QTest::addRow("left_more_than_length") << "abc" << 5 << "abc";
    QTest::addRow("left_none") << "abc" << 0 << "";
    QTest::addRow("left_ticker_16") << "Learn Alphabet && Number" << 16 << "Learn Alphabet &";
    QTest::addRow("access_key_not_drawn") << "&Help" << -1 << "Help";
    QTest::addRow("double_draws_one")
        << "Learn Alphabet && Number" << -1 << "Learn Alphabet & Number";
    QTest::addRow("lone_last_hidden") << "Learn Alphabet &" << -1 << "Learn Alphabet ";
    QTest::addRow("key_after_double") << "A&&B &OK" << -1 << "A&B OK";
}

void RuntimeRules::text()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, result);
    if (n < 0) {
        QCOMPARE(displayText(text), result);
        return;
    }
    QCOMPARE(Left(text, n), result);
    QCOMPARE(Len(result), int(result.size()));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, Left(text, -1));
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
    App::setPath(folder);
    QCOMPARE(App::Path(), path);
    App::setPath({});
    QCOMPARE(App::Path(), QCoreApplication::applicationDirPath());
}

void RuntimeRules::loadPictureRefuses_data()
{
    QVERIFY(m_dir.isValid());
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("reason");
    const QString d = m_dir.path();
    writeFile(d + "/zero.jpg", {});
    writeFile(d + "/text.jpg", "not a picture at all");
    // A real card cut inside its scan data, where Qt alone would show it half grey.
    QFile card(QStringLiteral(QUORBEL_SOURCE_IMAGES "/b.jpg"));
    QVERIFY(card.open(QIODevice::ReadOnly));
    const QByteArray whole = card.readAll();
    QVERIFY(whole.indexOf(QByteArrayView("\xFF\xDA")) < whole.size() * 6 / 10);
    writeFile(d + "/cut.jpg", whole.left(whole.size() * 6 / 10));
    writeFile(d + "/claims-16384-square.jpg", jpegClaiming(16384, 16384));
    writeFile(d + "/claims-16384-by-1100.jpg", jpegClaiming(16384, 1100));
    writeFile(d + "/claims.ppm", "P6\n5000 5000\n255\nabc");
    QImage wide(MaxPictureSide + 1, 1, QImage::Format_Mono);
    wide.fill(0);
    QVERIFY(wide.save(d + "/wide.png"));
    QDir(d).mkdir("folder.jpg");
    QCOMPARE(::mkfifo(QFile::encodeName(d + "/fifo.jpg").constData(), 0600), 0);
    QFile sparse(d + "/huge.jpg");
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(MaxPictureFileBytes + 1));

    const auto row = [d](const char *tag, const char *file, ErrorNumber number, const char *why) {
        QTest::newRow(tag) << d + file << int(number) << QString(why);
    };
    row("missing_file", "/nothing.jpg", FileNotFound, "not found");
    row("missing_folder", "/images/a.jpg", FileNotFound, "not found");
    row("backslashes_are_part_of_names", "\\zero.jpg", FileNotFound, "not found");
    row("file_taken_for_a_folder", "/zero.jpg/a.jpg", PathNotFound, "Path not found");
    row("zero_bytes", "/zero.jpg", InvalidPicture, "empty");
    row("not_a_picture", "/text.jpg", InvalidPicture, "Invalid picture");
    row("card_cut_in_its_scan_data", "/cut.jpg", InvalidPicture, "cut off");
    row("jpeg_claims_16384_square", "/claims-16384-square.jpg", InvalidPicture, "too large");
    row("jpeg_claims_16384_by_1100", "/claims-16384-by-1100.jpg", InvalidPicture, "too large");
    row("ppm_claims_5000_square", "/claims.ppm", InvalidPicture, "too large");
    row("too_wide", "/wide.png", InvalidPicture, "too large");
    row("directory", "/folder.jpg", InvalidPicture, "folder");
    row("fifo_does_not_block", "/fifo.jpg", InvalidPicture, "special file");
    row("over_32_mib", "/huge.jpg", InvalidPicture, "too large");
}

// Refused from what the file is and what its header claims, before any pixel is decoded.
void RuntimeRules::loadPictureRefuses()
{
    QFETCH(QString, path);
    QFETCH(int, number);
    QFETCH(QString, reason);
    try {
        const Picture picture = LoadPicture(path);
        QFAIL(qPrintable(QStringLiteral("a %1x%2 picture loaded")
                             .arg(picture.image().width())
                             .arg(picture.image().height())));
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), number);
        QVERIFY2(error.message().contains(path), qPrintable(error.message()));
        QVERIFY2(error.description().contains(reason), qPrintable(error.description()));
    }
}

void RuntimeRules::loadPictureReadsAfresh()
{
    QVERIFY(LoadPicture(QString()).isEmpty());
    // A backslash in a folder's name is that name's own.
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("Kid\\Games")));
    const QString path = m_dir.path() + "/Kid\\Games/card.jpg";
    writeFile(path, jpegBytes({40, 30}));
    QCOMPARE(LoadPicture(path).image().size(), QSize(40, 30));
    // The same path again, with other content: no cache may answer.
    writeFile(path, jpegBytes({20, 10}));
    QCOMPARE(LoadPicture(path).image().size(), QSize(20, 10));
}

// Every input that once crashed the picture fuzzer (tests/fuzz/regressions) loads and shows,
// or is refused with a runtime error.
void RuntimeRules::fuzzRegressionsLoadOrAreRefused()
{
    const QDir regressions(QStringLiteral(QUORBEL_FUZZ_REGRESSIONS));
    const QStringList files = regressions.entryList(QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString &file : files) {
        try {
            QPixmap::fromImage(LoadPicture(regressions.filePath(file)).image());
        } catch (const RuntimeError &error) {
            QVERIFY2(error.message().contains(file), qPrintable(error.message()));
        }
    }
}

// Every face the windows ask for is drawn with an installed font: itself, or its look-alike.
void RuntimeRules::facesAreInstalled()
{
    for (const char *face : {"Times New Roman", "Verdana", "MS Sans Serif", "MS Serif",
                             "Monotype Corsiva", "BankGothic Md BT"}) {
        const QString installed = installedFace(QString::fromLatin1(face));
        QVERIFY2(QFontDatabase::hasFamily(installed), qPrintable(installed + " is not installed"));
        if (QFontDatabase::hasFamily(QString::fromLatin1(face)))
            QCOMPARE(installed, QString::fromLatin1(face));
    }
}

QTEST_MAIN(RuntimeRules)
#include "tst_runtimerules.moc"
