#include "app/applicationfont.h"

#include <QFontInfo>
#include <QtTest>

class TestApplicationFont : public QObject
{
    Q_OBJECT
private slots:
    void proximaNovaResolvesToBundledFace()
    {
        const QString family = registerApplicationFont();
        QVERIFY2(!family.isEmpty(), "the compiled-in font did not load");
        QCOMPARE(QFontInfo(QFont("Proxima Nova", 9)).family(), family);
        // Registering twice must not add the face again.
        QCOMPARE(registerApplicationFont(), family);
    }
};

QTEST_MAIN(TestApplicationFont)
#include "tst_applicationfont.moc"
