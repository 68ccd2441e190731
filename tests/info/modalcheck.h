#pragma once

#include "runtime/form.h"

#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <functional>

// Shows `form` modally over a text box in another window and closes it with `close`: typing into
// the box does nothing while the form is open and works again once it has closed.
inline void checkBlocksWindowsBehind(forms::Form &form, const std::function<void()> &close)
{
    QLineEdit behind;
    behind.show();
    QVERIFY(QTest::qWaitForWindowExposed(&behind));
    const auto type = [&behind] {
        QTest::keyClick(behind.windowHandle(), Qt::Key_K);
        QCoreApplication::processEvents();
        return behind.text();
    };
    bool modal = false;
    QString typedWhileOpen = QStringLiteral("not run");
    QTimer::singleShot(0, [&] {
        modal = form.isLoaded() && form.window()->isModal();
        typedWhileOpen = type();
        close();
    });
    form.Show(forms::vbModal);
    QVERIFY(modal);
    QCOMPARE(typedWhileOpen, QString());
    QVERIFY(!form.isLoaded());
    QCOMPARE(type(), QStringLiteral("k"));
}
