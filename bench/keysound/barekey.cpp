// The floor for key to sound: a bare Qt window that plays one preloaded clip on every key.

#include <QApplication>
#include <QKeyEvent>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>

class KeyWindow : public QWidget
{
public:
    explicit KeyWindow(const QString &clip)
    {
        setWindowTitle(QStringLiteral("Bare key sound"));
        m_effect.setSource(QUrl::fromLocalFile(clip));
    }

protected:
    void keyPressEvent(QKeyEvent *) override
    {
        m_effect.stop();
        m_effect.play();
    }

private:
    QSoundEffect m_effect;
};

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    if (argc != 2)
        return 2;
    KeyWindow window(QString::fromLocal8Bit(argv[1]));
    window.resize(320, 240);
    window.show();
    return QApplication::exec();
}
