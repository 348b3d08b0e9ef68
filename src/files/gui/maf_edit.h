// The MAF curve editor: shows the loaded curve, edits it, saves it and hands its path on.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "common/test_access.h"
#include "decode/calibration_tables.h"
#include "files/maf_table.h"
#include "widgets/user_prompts.h"

class QGridLayout;
class QHBoxLayout;
class QLineEdit;
class QTimer;
class QCustomPlot;

namespace quelm {

class MAFEdit : public QWidget {
    Q_OBJECT

  public:
    static constexpr const char* kNoFileText = "none specified";
    static constexpr int kRedrawMs = 500;

    // `tables.maf` receives every curve this window loads.
    explicit MAFEdit(CalibrationTables& tables, QWidget* parent = nullptr);

    void SetMessageSink(MessageSink sink) { message_ = std::move(sink); }
    // Called with the path in the file box when Apply is clicked, after this window hides.
    void SetApplyHandler(std::function<void(const QString&)> handler) {
        onApply_ = std::move(handler);
    }
    // Called with the stock curve's path when the named file was missing.
    void SetFallbackHandler(std::function<void(const QString&)> handler) {
        onFallback_ = std::move(handler);
    }

    void SetFileName(const QString& path);

    // Loads the file named in the file box into the boxes and the conversion table, showing
    // the loader's messages.
    void LoadMafTable();
    // Redraws the chart from the boxes; the timer calls it every 500 ms.
    void redrawChart();

    void browse();
    // Asks for a file name (in the user's own curve folder), asks before replacing a file, and
    // writes the boxes there. Cancelling either question writes nothing.
    void save();
    void apply();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    friend struct TestAccess<MAFEdit>;

    // The steps of building the window.
    QHBoxLayout* BuildFileRow();
    QGridLayout* BuildPointTable();
    void BuildChart();
    QHBoxLayout* BuildBottomRow();
    MafCurve curveFromBoxes() const;
    void writeCurve(const QString& path);

    CalibrationTables& tables_;
    QLineEdit* file_ = nullptr;
    std::array<QLineEdit*, kMafPoints> volts_{};
    std::array<QLineEdit*, kMafPoints> kghr_{};
    QCustomPlot* chart_ = nullptr;
    QTimer* timer_ = nullptr;
    MessageSink message_;
    FileChooser openChooser_;
    FileChooser saveChooser_;
    YesNoQuestion ask_;
    std::function<void(const QString&)> onApply_;
    std::function<void(const QString&)> onFallback_;
};

}  // namespace quelm
