// Runtime rules for screen readers and input methods that the program's own windows never meet;
// tst_accessibility tests the rest on the real windows.

#include "../accessibilitytesting.h"

#include "runtime/forms.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QtTest>

#include <stdexcept>

using namespace forms;
using namespace a11ytest;

namespace {

FormDef probeLayout(const char *keyboardMenu, const char *nameFrom)
{
    return {
        .name = "frmProbe",
        .caption = "Probe",
        .clientWidth = 6000,
        .clientHeight = 4500,
        .accessibleName = "Probe window",
        .accessibleDescription = "A window to probe",
        .keyboardMenu = keyboardMenu,
        .menus = {
            {.name = "mnuBar", .caption = "&Bar"},
            {.name = "mnuPop", .caption = "&Pop", .visible = false},
            {.name = "mnuOne", .caption = "&One", .parent = "mnuPop"},
        },
        .controls = {
            {.name = "txtIn", .kind = ControlKind::TextBox, .width = 2000, .height = 600,
             .tabIndex = 0, .caption = "x"},
            {.name = "lblWord", .top = 900, .width = 1500, .height = 300, .caption = "APPLE"},
            {.name = "lblTitle", .top = 1500, .width = 1500, .height = 300, .caption = "&Title",
             .accessibleRole = AccessibleRole::Heading},
            {.name = "Image1", .kind = ControlKind::Image, .top = 1800, .width = 900,
             .height = 900, .accessibleName = "Picture: %1",
             .accessibleDescription = "what it shows", .accessibleNameFrom = nameFrom},
        },
    };
}

class frmProbe : public Form
{
public:
    explicit frmProbe(const FormDef &definition)
        : Form(definition)
    {
        // Notes each key with the box as it found it; discards z, makes u an U, closes on q.
        on("txtIn_KeyPress", [this](Integer &KeyAscii) {
            heard << QChar(char16_t(int(KeyAscii))) + QStringLiteral(":") + txtIn.text();
            if (KeyAscii == 'q')
                Unload();
            else if (KeyAscii == 'z')
                KeyAscii = 0;
            else if (KeyAscii == 'u')
                KeyAscii = 'U';
        });
    }

    QStringList heard;
    Label lblWord {this, "lblWord"};
    TextBox txtIn {this, "txtIn"};
};

} // namespace

class AccessibleForms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void names_data();
    void names();
    void wrongDefinitionLeavesNothing_data();
    void wrongDefinitionLeavesNothing();
    void inputMethodCommit_data();
    void inputMethodCommit();

private:
    const FormDef m_layout = probeLayout(nullptr, "lblWord");
    std::unique_ptr<frmProbe> m_probe;
};

void AccessibleForms::init()
{
    m_probe = std::make_unique<frmProbe>(m_layout);
    m_probe->Show();
    QVERIFY(QTest::qWaitForWindowActive(m_probe->window()));
}

void AccessibleForms::cleanup()
{
    m_probe.reset();
}

void AccessibleForms::names_data()
{
    QTest::addColumn<QByteArray>("object"); // a control, the "window", its bar's "menu", a "popup"
    QTest::addColumn<QString>("caption"); // lblWord's new caption; "reload": then loaded again
    QTest::addColumn<QStringList>("read"); // role, name, description
    const auto row = [](const char *name, const char *object, const char *caption,
                        QAccessible::Role role, const char *heard, const char *description) {
        QTest::newRow(name) << QByteArray(object) << QString(caption)
                            << QStringList({QString::number(role), heard, description});
    };
    row("window_described", "window", "", QAccessible::Window, "Probe window", "A window to probe");
    row("heading_without_access_key_mark", "lblTitle", "", QAccessible::Heading, "Title", "");
    row("blank_picture_stays_a_graphic", "Image1", "", QAccessible::Graphic, "Picture: APPLE",
        "what it shows");
    row("template_follows_caption_as_shown", "Image1", "B&&OY", QAccessible::Graphic,
        "Picture: B&OY", "what it shows");
    row("label_named_by_caption_as_shown", "lblWord", "B&&OY", QAccessible::StaticText, "B&OY", "");
    row("template_starts_again_on_reload", "Image1", "reload", QAccessible::Graphic,
        "Picture: APPLE", "what it shows");
    row("menu_read_without_access_key_mark", "menu", "", QAccessible::PopupMenu, "Bar", "");
    row("popup_read_without_access_key_mark", "popup", "", QAccessible::PopupMenu, "Pop", "");
}

void AccessibleForms::names()
{
    QFETCH(QByteArray, object);
    QFETCH(QString, caption);
    QFETCH(QStringList, read);
    if (!caption.isEmpty())
        m_probe->lblWord.setCaption(caption);
    if (caption == QStringLiteral("reload")) {
        m_probe->Unload();
        m_probe->Show();
    }
    QStringList seen;
    const auto hear = [&seen](QAccessibleInterface *iface) {
        seen << QString::number(iface->role()) << iface->text(QAccessible::Name)
             << iface->text(QAccessible::Description);
    };
    QObject steps;
    when(
        &steps, [] { return popup() != nullptr; },
        [&] {
            hear(accessible(popup()));
            popup()->close();
        });
    if (object == "popup")
        m_probe->PopupMenu("mnuPop");
    else if (object == "menu")
        hear(accessible(
            qobject_cast<QMainWindow *>(m_probe->window())->menuBar()->actions()[0]->menu()));
    else
        hear(accessible(object == "window" ? m_probe->window()
                                           : m_probe->controlWidget(object.constData())));
    QCOMPARE(seen, read);
}

void AccessibleForms::wrongDefinitionLeavesNothing_data()
{
    QTest::addColumn<QByteArray>("keyboardMenu");
    QTest::addColumn<QByteArray>("nameFrom");
    QTest::newRow("name_from_a_text_box") << QByteArray() << QByteArray("txtIn");
    QTest::newRow("name_from_no_control") << QByteArray() << QByteArray("lblNone");
    QTest::newRow("no_such_keyboard_menu") << QByteArray("mnuNone") << QByteArray("lblWord");
    QTest::newRow("keyboard_menu_is_an_item") << QByteArray("mnuOne") << QByteArray("lblWord");
}

// A definition found wrong while the window is built throws, and no widget of it stays behind.
void AccessibleForms::wrongDefinitionLeavesNothing()
{
    QFETCH(QByteArray, keyboardMenu);
    QFETCH(QByteArray, nameFrom);
    const FormDef wrong = probeLayout(keyboardMenu.isEmpty() ? nullptr : keyboardMenu.constData(),
                                      nameFrom.constData());
    const qsizetype widgets = QApplication::allWidgets().size();
    frmProbe probe(wrong);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, probe.Load());
    QVERIFY(!probe.isLoaded());
    QCOMPARE(QApplication::allWidgets().size(), widgets);
}

void AccessibleForms::inputMethodCommit_data()
{
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<QString>("committed");
    QTest::addColumn<int>("replaceFrom");
    QTest::addColumn<int>("replaceLength");
    QTest::addColumn<QStringList>("heard"); // each key, and the box as its handler found it
    QTest::addColumn<QString>("boxAfter"); // null: the window has closed
    const auto row = [](const char *name, const QString &preedit, const QString &committed,
                        int from, int length, const QStringList &heard, const QString &after) {
        QTest::newRow(name) << preedit << committed << from << length << heard << after;
    };
    row("discarded_changed_kept", "", "zuk", 0, 0, {"z:x", "u:x", "k:xU"}, "xUk");
    // Beyond Latin-1 a key is "?", one for each character; the box still takes the character.
    const QString wide = QString::fromUcs4(U"\u00e9\u20ac\U0001F34E");
    row("latin1_and_beyond_it_and_beyond_16_bits", "", wide, 0, 0,
        {wide.left(1) + ":x", "?:x" + wide.left(1), "?:x" + wide.left(2)}, "x" + wide);
    row("commit_then_preedit", "b", "a", 0, 0, {"a:x"}, "xa");
    row("replacing_the_box", "", "k", -1, 1, {"k:"}, "k");
    row("window_closed_mid_commit", "", "qa", 0, 0, {"q:x"}, QString());
}

void AccessibleForms::inputMethodCommit()
{
    QFETCH(QString, preedit);
    QFETCH(QString, committed);
    QFETCH(int, replaceFrom);
    QFETCH(int, replaceLength);
    QFETCH(QStringList, heard);
    QFETCH(QString, boxAfter);
    auto *box = qobject_cast<QLineEdit *>(m_probe->controlWidget("txtIn"));
    box->setFocus();
    sendInputMethod(box, preedit, committed, replaceFrom, replaceLength);
    QCOMPARE(m_probe->heard, heard);
    QCOMPARE(m_probe->isLoaded(), !boxAfter.isNull()); // and no key came after it closed
    if (boxAfter.isNull())
        return;
    QCOMPARE(box->text(), boxAfter);
    QCOMPARE(box->inputMethodQuery(Qt::ImCursorPosition).toInt(), int(boxAfter.size()));
}

QTEST_MAIN(AccessibleForms)
#include "tst_accessibleforms.moc"
