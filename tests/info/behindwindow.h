#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

// A window standing behind a modal one: counts the keys and clicks that reach it.
class BehindWindow : public QWidget
{
public:
    BehindWindow()
    {
        auto *column = new QVBoxLayout(this);
        column->addWidget(m_edit);
        column->addWidget(m_button);
        QObject::connect(m_button, &QPushButton::clicked, m_button, [this] { ++m_clicks; });
        setGeometry(300, 300, 200, 100);
    }

    void typeAndClick()
    {
        m_edit->setFocus();
        QTest::keyClick(windowHandle(), Qt::Key_K);
        QTest::mouseClick(windowHandle(), Qt::LeftButton, {},
                          m_button->mapTo(this, m_button->rect().center()));
        QCoreApplication::processEvents();
    }

    QString typed() const { return m_edit->text(); }
    int clicks() const { return m_clicks; }

private:
    QLineEdit *m_edit = new QLineEdit(this);
    QPushButton *m_button = new QPushButton(QStringLiteral("Press"), this);
    int m_clicks = 0;
};
