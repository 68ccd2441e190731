#pragma once

#include "runtime/form.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

// What reached a window with a text box and a button: the text typed and the clicks.
struct Reached
{
    QString typed;
    int clicks = 0;
    bool operator==(const Reached &) const = default;
};

struct ModalRun
{
    bool modal = false;
    Reached whileOpen {QStringLiteral("not run"), -1};
    Reached afterClose;
};

// Shows `form` modally over another window, types "k" and clicks into that window while the form
// is open, closes the form with `close`, and does the same again once the modal Show has returned.
inline ModalRun showModallyOverAnother(forms::Form &form, const std::function<void()> &close)
{
    QWidget behind;
    auto *edit = new QLineEdit(&behind);
    auto *button = new QPushButton(QStringLiteral("Press"), &behind);
    (new QVBoxLayout(&behind))->addWidget(edit);
    behind.layout()->addWidget(button);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    behind.show();
    if (!QTest::qWaitForWindowExposed(&behind))
        return {};
    auto typeAndClick = [&] {
        edit->setFocus();
        QTest::keyClick(behind.windowHandle(), Qt::Key_K);
        QTest::mouseClick(behind.windowHandle(), Qt::LeftButton, {},
                          button->mapTo(&behind, button->rect().center()));
        QCoreApplication::processEvents();
        return Reached {edit->text(), clicks};
    };

    ModalRun run;
    QTimer::singleShot(0, [&] {
        run.modal = form.isLoaded() && form.window()->isModal();
        run.whileOpen = typeAndClick();
        close();
    });
    form.Show(forms::vbModal);
    run.afterClose = form.isLoaded() ? Reached {} : typeAndClick();
    return run;
}
