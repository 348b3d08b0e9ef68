// The about box: product, version, and a button that opens the maker's web page.
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

namespace quelm {

// How the web button reaches a browser; replaced in tests.
struct UrlOpener {
    // True when a program is registered to open web addresses.
    std::function<bool()> browserAvailable;
    // True when the browser accepted the address.
    std::function<bool(const QUrl&)> open;
    static UrlOpener Desktop();
};

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr, UrlOpener opener = UrlOpener::Desktop());

    void visitweb_Click();

  private:
    UrlOpener opener_;
};

}  // namespace quelm
