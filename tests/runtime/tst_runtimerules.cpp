#include "runtime/forms.h"
#include "runtime/units.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

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

// A rule of the runtime, worked out: its result, or the runtime error it raises.
using Rule = std::function<QVariant()>;

} // namespace

Q_DECLARE_METATYPE(Rule)

class RuntimeRules : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void loadPictureRefuses_data();
    void loadPictureRefuses();
    void loadPictureReadsAfresh();
    void fuzzRegressionsLoadOrAreRefused();

private:
    QTemporaryDir m_dir;
#ifdef Q_OS_WIN
    HANDLE m_pipe = INVALID_HANDLE_VALUE;
#endif
};

void RuntimeRules::rules_data()
{
    QTest::addColumn<QVariant>("result"); // "error N": raises runtime error N
    QTest::addColumn<Rule>("rule");
    const auto row = [](const char *name, const QVariant &result, const Rule &rule) {
        QTest::newRow(name) << result << rule;
    };
    const QString badValue = QStringLiteral("error 380"), overflow = QStringLiteral("error 6");
    const QPalette palette = QGuiApplication::palette();
    row("twips_apple_width", 358, [] { return twipsToPixels(5370); });
    row("twips_ten_round_to_one", 1, [] { return twipsToPixels(10); });
    row("twips_seven_round_down", 0, [] { return twipsToPixels(7); });
    row("twips_negative", -10, [] { return twipsToPixels(-150); });
    row("points_99_75", 133, [] { return pointsToPixels(99.75); });
    row("points_8_25", 11, [] { return pointsToPixels(8.25); });
    row("colour_dark_red_is_bgr", QColor(102, 4, 4), [] { return colorFromStored(0x00040466); });
    row("colour_blue_in_high_byte", QColor(Qt::blue), [] { return colorFromStored(0x00FF0000); });
    row("colour_button_face", palette.color(QPalette::Button),
        [] { return colorFromStored(0x8000000F); });
    row("colour_workspace", palette.color(QPalette::Dark),
        [] { return colorFromStored(0x8000000C); });
    row("colour_unknown_system", badValue, [] { return colorFromStored(0x80000040); });
    row("colour_high_byte_not_system", badValue, [] { return colorFromStored(0x01000000); });
    row("integer_top_edge", 32767, [] { return int(Integer(32766) + Integer(1)); });
    row("integer_past_top", overflow, [] { return int(Integer(32767) + Integer(1)); });
    row("integer_bottom_edge", -32768, [] { return int(Integer(-32767) - Integer(1)); });
    row("integer_past_bottom", overflow, [] { return int(Integer(-32768) - Integer(1)); });
    row("integer_product_too_big", overflow, [] { return int(Integer(200) * Integer(200)); });
    row("left_more_than_length", "abc", [] { return Left("abc", 5); });
    row("left_none", "", [] { return Left("abc", 0); });
    row("left_negative", "error 5", [] { return Left("abc", -1); });
    row("left_ticker_16", "Learn Alphabet &", [] { return Left("Learn Alphabet && Number", 16); });
    row("len_ticker", 33, [] { return Len("Learn Alphabet && Number Yourself"); });
    row("drawn_access_key", "Help", [] { return displayText("&Help"); });
    row("drawn_double_as_one", "A & B", [] { return displayText("A && B"); });
    row("drawn_lone_last_hidden", "Alphabet ", [] { return displayText("Alphabet &"); });
    row("drawn_key_after_double", "A&B OK", [] { return displayText("A&&B &OK"); });
    // The program folder, without a trailing separator except at a root.
    row("folder_trailing_slash", "/opt/q", [] { return App::setPath("/opt/q/"), App::Path(); });
    row("folder_root", "/", [] { return App::setPath("/"), App::Path(); });
    row("folder_drive_root", "C:\\", [] { return App::setPath("C:\\"), App::Path(); });
    row("folder_the_program's", QCoreApplication::applicationDirPath(),
        [] { return App::setPath({}), App::Path(); });
}

void RuntimeRules::rules()
{
    QFETCH(QVariant, result);
    QFETCH(Rule, rule);
    QVariant worked;
    try {
        worked = rule();
    } catch (const RuntimeError &error) {
        worked = QStringLiteral("error %1").arg(error.number());
    }
    QCOMPARE(worked, result);
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
#ifdef Q_OS_WIN
    // A named pipe that nobody writes to, which would block whoever reads it.
    m_pipe = ::CreateNamedPipeW(L"\\\\.\\pipe\\quorbel-fifo.jpg", PIPE_ACCESS_OUTBOUND,
                                PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    QVERIFY(m_pipe != INVALID_HANDLE_VALUE);
    const QString fifo = QStringLiteral("//./pipe/quorbel-fifo.jpg");
#else
    QCOMPARE(::mkfifo(QFile::encodeName(d + "/fifo.jpg").constData(), 0600), 0);
    const QString fifo = d + "/fifo.jpg";
#endif
    QFile sparse(d + "/huge.jpg");
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(MaxPictureFileBytes + 1));

    const auto row = [d](const char *tag, const char *file, ErrorNumber number, const char *why) {
        QTest::newRow(tag) << d + file << int(number) << QString(why);
    };
    row("missing_file", "/nothing.jpg", FileNotFound, "not found");
    row("missing_folder", "/images/a.jpg", FileNotFound, "not found");
#ifndef Q_OS_WIN
    row("backslashes_are_part_of_names", "\\zero.jpg", FileNotFound, "not found");
#endif
    row("file_taken_for_a_folder", "/zero.jpg/a.jpg", PathNotFound, "Path not found");
    row("zero_bytes", "/zero.jpg", InvalidPicture, "empty");
    row("not_a_picture", "/text.jpg", InvalidPicture, "Invalid picture");
    row("card_cut_in_its_scan_data", "/cut.jpg", InvalidPicture, "cut off");
    row("jpeg_claims_16384_square", "/claims-16384-square.jpg", InvalidPicture, "too large");
    row("jpeg_claims_16384_by_1100", "/claims-16384-by-1100.jpg", InvalidPicture, "too large");
    row("ppm_claims_5000_square", "/claims.ppm", InvalidPicture, "too large");
    row("too_wide", "/wide.png", InvalidPicture, "too large");
    row("directory", "/folder.jpg", InvalidPicture, "folder");
    QTest::newRow("fifo_does_not_block") << fifo << int(InvalidPicture) << "special file";
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
    // A folder named in Hindi; elsewhere than Windows, a backslash in its name is its own.
#ifdef Q_OS_WIN
    const QString folder = QString::fromUtf8("खेल Games");
#else
    const QString folder = QString::fromUtf8("खेल Kid\\Games");
#endif
    QVERIFY(QDir(m_dir.path()).mkdir(folder));
    const QString path = m_dir.path() + u'/' + folder + "/card.jpg";
    // A real card, every byte of it (Windows' text mode would stop at its first 0x1A).
    QFile card(QStringLiteral(QUORBEL_SOURCE_IMAGES "/a.jpg"));
    QVERIFY(card.open(QIODevice::ReadOnly));
    writeFile(path, card.readAll());
    QCOMPARE(LoadPicture(path).image().size(), QImage(card.fileName()).size());
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

QTEST_MAIN(RuntimeRules)
#include "tst_runtimerules.moc"
