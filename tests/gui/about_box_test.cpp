#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "modal_catcher.h"
#include "shell/gui/about_box.h"
#include "shell/gui/splash.h"

using quelm::frmAbout;
using quelm::UrlOpener;

class AboutBoxTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheVersionOfThisBuild() {
        frmAbout about(nullptr, UrlOpener{});
        QCOMPARE(about.windowTitle(), QString("About QUELM"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(), QString("Version 1.4.1"));
        QVERIFY(about.findChild<QLabel*>("S")->text().endsWith(
            "(tm) Real-Time Data-Logger Application Software"));
    }

    void webButtonReportsEachFailureAndOpensTheAddressOtherwise() {
        QList<QUrl> opened;
        bool browser = false;
        bool accepts = false;
        frmAbout about(nullptr, UrlOpener{[&] { return browser; },
                                          [&](const QUrl& url) {
                                              opened << url;
                                              return accepts;
                                          }});
        auto* visit = about.findChild<QPushButton*>("visitweb");
        ModalCatcher catcher;

        visit->click();  // no browser registered
        browser = true;
        visit->click();  // the browser refuses
        accepts = true;
        visit->click();  // opens quietly

        QCOMPARE(catcher.titles, QStringList({"Browser Not Found", "URL Failed"}));
        QCOMPARE(catcher.texts,
                 QStringList({"Could not find associated Browser", "Web Page not Opened"}));
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened.first().toString().contains("orvanta"));
    }

    void splashNamesTheProduct() {
        quelm::Splash splash;
        QCOMPARE(splash.findChild<QLabel*>("lblProductName")->text(), QString("Quelm"));
        QCOMPARE(splash.findChild<QLabel*>("lblWarning")->text(),
                 QString("Data Monitoring and Logging Application"));
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
