#pragma once

#include "app/calc/calculatorwindow.h"
#include "app/forecast/crescentwindow.h"
#include "app/info/aboutwindow.h"
#include "app/info/descriptionwindow.h"
#include "app/main/newmooncombo.h"
#include "app/main/resultarea.h"
#include "app/main/timefield.h"
#include "app/pictures/picturewindow.h"
#include "app/year/yearwindow.h"
#include "evaluation/evaluation.h"
#include "ports/windowports.h"

#include <QMainWindow>
#include <QPointer>

namespace lunex {

// The main window `A`: the two time fields, the list of new moons, the buttons,
// the phase picture, the result surface and the menus. It is the surface,
// fields and message box that the evaluations and the data files work on.
class MainWindow : public QMainWindow,
                   private TimeFields,
                   private ResultSurface,
                   private PictureBox,
                   private Messenger {
    Q_OBJECT
public:
    // `dirs` are where the pictures and the data files are; `clock` gives
    // "Most!" its moment.
    explicit MainWindow(const AppDirs &dirs, const Clock *clock = nullptr,
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    ResultArea *resultArea() const { return resultArea_; }
    PictureWindow *pictureWindow() const { return pictureWindow_; }
    QWidget *calculatorWindow() const { return calculatorWindow_; }
    CrescentWindow *crescentWindow() const { return crescentWindow_; }
    YearWindow *yearWindow() const { return yearWindow_; }

public slots:
    void showMoonPicture(const QString &relativePath); // ShowMoonPicture

private:
    // TimeFields
    QString newMoonText() const override;
    void setNewMoonText(const QString &text) override;
    QString observationText() const override;
    void setObservationText(const QString &text) override;
    // ResultSurface
    void clearResults() override;
    void printResult(const ResultText &result) override;
    // PictureBox
    void showPicture(const QImage &picture, const QString &phaseName) override;
    // Messenger
    void showMessage(const QString &text, MessageIcon icon) override;

    void buildControls();
    void buildPhasePicture(QWidget *surface);
    void buildMenus();
    EvaluationPorts ports();

    AppDirs dirs_;
    SystemClock systemClock_;
    const Clock *clock_;
    QTimeZone zone_; // the system's, whose civil time every text is
    ResultArea *resultArea_ = nullptr;
    TimeField *newMoonField_ = nullptr;
    TimeField *observationField_ = nullptr;
    NewMoonCombo *newMoonList_ = nullptr;
    PhasePictureLabel *phasePicture_ = nullptr;
    // The secondary windows: at most one of each, without an owner, modeless;
    // closing one deletes it and the next request makes it afresh.
    template <typename Window, typename... Args>
    Window *showSecondary(QPointer<Window> &slot, const Args &...args);
    QPointer<PictureWindow> pictureWindow_;
    QPointer<CalculatorWindow> calculatorWindow_;
    QPointer<DescriptionWindow> descriptionWindow_;
    QPointer<AboutWindow> aboutWindow_;
    QPointer<CrescentWindow> crescentWindow_;
    QPointer<YearWindow> yearWindow_;
};

} // namespace lunex
