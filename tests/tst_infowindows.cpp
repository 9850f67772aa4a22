#include "app/calc/calculatorwindow.h"
#include "app/info/aboutwindow.h"
#include "app/info/descriptionwindow.h"
#include "look/look.h"
#include "lunex_version.h"
#include "messageboxes.h"
#include "themes.h"
#include "windowcleanup.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lunex;

namespace {

const QColor LightCyan(192, 255, 255);

// Whether anything but the background is drawn in the box.
bool inked(const QImage &image, const QRect &box) {
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (image.pixelColor(x, y) != LightCyan) {
                return true;
            }
        }
    }
    return false;
}

// Where each row prints, up to the caption that follows the result.
const QRect DegreeResult = QRect(look::TwipsPoint(3400, 1080), look::TwipsPoint(5100, 1400));
const QRect MilResult = QRect(look::TwipsPoint(3400, 2650), look::TwipsPoint(5100, 2970));

template <typename T> T *child(QWidget *window, const char *name) {
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("no child %s", name);
    }
    return found;
}

// Shows a window the way the main window does and waits until it takes keys.
template <typename W> QPointer<W> open() {
    auto *window = new W();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("window not active");
    }
    return window;
}

// Lets deferred deletions run; true when the window is gone.
template <typename W> bool gone(const QPointer<W> &window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.isNull();
}

} // namespace

class TestInfoWindows : public QObject {
    Q_OBJECT
    const QPalette desktop_ = QApplication::palette();

private slots:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("hu_HU"))); }
    void cleanup() {
        test::DeleteWindows();
        QApplication::setPalette(desktop_);
    }

    void calculatorConverts_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QPoint>("at");
        const QPoint deg = look::TwipsPoint(3400, 1080);
        const QPoint mil = look::TwipsPoint(3400, 2650);
        QTest::newRow("hu 90 deg") << "hu_HU"
                                   << "Text41"
                                   << "Command41"
                                   << "90"
                                   << " 1500,00" << deg;
        QTest::newRow("hu decimal comma") << "hu_HU"
                                          << "Text41"
                                          << "Command41"
                                          << "1,5"
                                          << " 25,00" << deg;
        QTest::newRow("hu 6000 mil") << "hu_HU"
                                     << "Text42"
                                     << "Command42"
                                     << "6000"
                                     << " 360,00" << mil;
        QTest::newRow("en decimal point") << "en_US"
                                          << "Text42"
                                          << "Command42"
                                          << " 3e3 "
                                          << " 180.00" << mil;
    }
    void calculatorConverts() {
        QFETCH(QString, locale);
        QFETCH(QString, field);
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(QString, printed);
        QFETCH(QPoint, at);
        QLocale::setDefault(QLocale(locale));
        QPointer<CalculatorWindow> form = open<CalculatorWindow>();
        QCOMPARE(form->printedText(), QString());
        QTest::keyClicks(child<QLineEdit>(form, qPrintable(field)), typed);
        QTest::mouseClick(child<QPushButton>(form, qPrintable(button)), Qt::LeftButton);
        QCOMPARE(form->printedText(), printed);
        QCOMPARE(form->printedAt(), at);
        // Drawn on the surface, and drawn again on every repaint.
        const QRect row = at == DegreeResult.topLeft() ? DegreeResult : MilResult;
        QVERIFY(inked(form->grab().toImage(), row));
        QVERIFY(inked(form->grab().toImage(), row));
    }

    void calculatorShowsOneResult() {
        QPointer<CalculatorWindow> form = open<CalculatorWindow>();
        QTest::keyClicks(child<QLineEdit>(form, "Text41"), "360");
        QTest::mouseClick(child<QPushButton>(form, "Command41"), Qt::LeftButton);
        QVERIFY(inked(form->grab().toImage(), DegreeResult));
        QVERIFY(!inked(form->grab().toImage(), MilResult));

        QTest::keyClicks(child<QLineEdit>(form, "Text42"), "3000");
        QTest::mouseClick(child<QPushButton>(form, "Command42"), Qt::LeftButton);
        QCOMPARE(form->printedText(), " 180,00");
        const QImage surface = form->grab().toImage();
        QVERIFY(!inked(surface, DegreeResult));
        QVERIFY(inked(surface, MilResult));
        // The fields keep what was typed.
        QCOMPARE(child<QLineEdit>(form, "Text41")->text(), "360");
    }

    void calculatorRefuses_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty degrees") << "Text41"
                                       << "Command41"
                                       << "";
        QTest::newRow("letters") << "Text41"
                                 << "Command41"
                                 << "abc";
        QTest::newRow("foreign separator") << "Text41"
                                           << "Command41"
                                           << "1.5";
        QTest::newRow("overflowing product") << "Text41"
                                             << "Command41"
                                             << "9e307";
    }
    void calculatorRefuses() {
        QFETCH(QString, field);
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QPointer<CalculatorWindow> form = open<CalculatorWindow>();
        // An earlier result, which a refused entry leaves alone.
        QTest::keyClicks(child<QLineEdit>(form, "Text41"), "90");
        QTest::mouseClick(child<QPushButton>(form, "Command41"), Qt::LeftButton);
        QCOMPARE(form->printedText(), " 1500,00");
        auto *edit = child<QLineEdit>(form, qPrintable(field));
        edit->clear();
        QTest::keyClicks(edit, typed);

        test::MessageBoxes messages;
        QTest::mouseClick(child<QPushButton>(form, qPrintable(button)), Qt::LeftButton);
        QTRY_COMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, "Kérem, VALÓS ADATOT adjon meg!");
        QCOMPARE(messages.last().title, "Lunex");
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        QCOMPARE(form->printedText(), " 1500,00");
        QVERIFY(inked(form->grab().toImage(), DegreeResult));
        QCOMPARE(edit->text(), typed);
    }

    void calculatorFieldsTakeSixCharacters() {
        QPointer<CalculatorWindow> form = open<CalculatorWindow>();
        for (const char *name : {"Text41", "Text42"}) {
            auto *edit = child<QLineEdit>(form, name);
            QTest::keyClicks(edit, "1234567");
            QCOMPARE(edit->text(), "123456");
        }
    }

    void calculatorKeyboard() {
        QPointer<CalculatorWindow> form = open<CalculatorWindow>();
        QCOMPARE(form->windowTitle(), "Számítások");
        QCOMPARE(form->focusWidget()->objectName(), "Text41");
        QTest::keyClicks(form->focusWidget(), "1");
        const QStringList order = {"Command41", "Text42", "Command42", "Command499", "Text41"};
        for (const QString &name : order) {
            QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
            QCOMPARE(form->focusWidget()->objectName(), name);
            if (name == "Command41") {
                // Enter on a focused button presses it.
                QTest::keyClick(form->focusWidget(), Qt::Key_Return);
                QCOMPARE(form->printedText(), " 16,67");
            }
        }
    }

    void calculatorOkClosesAndANewOneIsBlank() {
        QPointer<CalculatorWindow> form = open<CalculatorWindow>();
        QTest::keyClicks(child<QLineEdit>(form, "Text41"), "90");
        QTest::keyClicks(child<QLineEdit>(form, "Text42"), "6000");
        QTest::mouseClick(child<QPushButton>(form, "Command41"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(form, "Command499"), Qt::LeftButton);
        QVERIFY(gone(form));

        QPointer<CalculatorWindow> again = open<CalculatorWindow>();
        QCOMPARE(child<QLineEdit>(again, "Text41")->text(), QString());
        QCOMPARE(child<QLineEdit>(again, "Text42")->text(), QString());
        QCOMPARE(again->printedText(), QString());
        QVERIFY(!inked(again->grab().toImage(), DegreeResult));
    }

    // Each caption shows its text in its colour, wholly readable.
    void descriptionTexts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        for (const DescriptionCaption &caption : DescriptionCaptions()) {
            const bool warning = caption.kind == DescriptionCaption::Warning;
            QTest::newRow(caption.name) << QString::fromLatin1(caption.name) << caption.text
                                        << (warning ? QColor(255, 0, 0) : QColor(0, 0, 0));
        }
    }
    void descriptionTexts() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        QPointer<DescriptionWindow> form = open<DescriptionWindow>();
        QCOMPARE(form->windowTitle(), "Program leírása");
        const auto *label = child<QLabel>(form, qPrintable(name));
        QCOMPARE(label->text(), text);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        // Every wrapped line is inside the label, the label inside the window,
        // and no other caption covers it.
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(form->rect().contains(label->geometry()));
        for (const QLabel *other : form->findChildren<QLabel *>()) {
            QVERIFY2(other == label || !other->geometry().intersects(label->geometry()),
                     qPrintable(other->objectName()));
        }
    }

    void descriptionKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
    }
    void descriptionKeys() {
        QFETCH(int, key);
        QFETCH(bool, closes);
        QPointer<DescriptionWindow> form = open<DescriptionWindow>();
        QCOMPARE(form->size(), QSize(look::Px(9495), look::Px(6855)));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QWidget *focus = form->focusWidget();
        QCOMPARE(focus->objectName(), "Command10");
        QTest::keyClick(focus, Qt::Key(key));
        QCOMPARE(gone(form), closes);
    }

    // Under a dark desktop theme every text keeps its designed colour, and
    // the window its own background.
    void readableInADarkTheme_data() {
        QTest::addColumn<int>("window");   // 0 the calculator, 1 the description, 2 About
        QTest::addColumn<QString>("name"); // "" for the calculator's printed result
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("background");
        const QColor black(0, 0, 0), white(255, 255, 255), red(255, 0, 0);
        const QColor paleGreen(192, 255, 192);
        const struct {
            int window;
            const char *name;
            QColor text, background;
        } rows[] = {
            {0, "Label41", black, LightCyan},   {0, "Label48", black, LightCyan},
            {0, "Text41", black, white},        {0, "", black, LightCyan},
            {0, "Command41", black, paleGreen}, {1, "Label6", black, LightCyan},
            {1, "Label1", black, LightCyan},    {1, "Label5", red, LightCyan},
            {1, "Command10", black, paleGreen}, {2, "lblTitle", black, LightCyan},
            {2, "Label3", black, LightCyan},    {2, "lblVersion", black, LightCyan},
            {2, "Label4", black, LightCyan},    {2, "lblDescription", black, LightCyan},
            {2, "cmdOK", black, paleGreen},
        };
        for (const auto &row : rows) {
            QTest::addRow("%d %s", row.window, row.name)
                << row.window << QString::fromLatin1(row.name) << row.text << row.background;
        }
    }
    void readableInADarkTheme() {
        QFETCH(int, window);
        QFETCH(QString, name);
        QFETCH(QColor, text);
        QFETCH(QColor, background);
        QApplication::setPalette(test::DarkPalette());
        QWidget *form = window == 0   ? open<CalculatorWindow>().data()
                        : window == 1 ? static_cast<QWidget *>(open<DescriptionWindow>().data())
                                      : open<AboutWindow>().data();
        if (window == 0) {
            QTest::keyClicks(child<QLineEdit>(form, "Text41"), "90");
            QTest::mouseClick(child<QPushButton>(form, "Command41"), Qt::LeftButton);
        }
        const QRect box =
            name.isEmpty() ? DegreeResult : child<QWidget>(form, qPrintable(name))->geometry();
        QVERIFY(test::DrawnIn(form->grab().toImage(), box, text, background));
    }

    void aboutTexts() {
        QPointer<AboutWindow> about = open<AboutWindow>();
        QCOMPARE(about->windowTitle(), "About Lunex");
        QCOMPARE(child<QLabel>(about, "lblTitle")->text(), "Lunex");
        QCOMPARE(child<QLabel>(about, "lblVersion")->text(), "Version 1.4.2");
        QCOMPARE(child<QLabel>(about, "Label1")->text(), "(x86  / 32-bit)");
        QVERIFY(!child<QLabel>(about, "lblDescription")->text().isEmpty());
        // Never an address that the build was not given.
        const auto *web = child<QLabel>(about, "Label2");
        if (QString::fromUtf8(WebAddress).isEmpty()) {
            QCOMPARE(web->text(), QString());
            QCOMPARE(web->toolTip(), QString());
        } else {
            QCOMPARE(web->toolTip(), QString::fromUtf8(WebAddress));
            QVERIFY(!web->text().contains(QStringLiteral("://")));
        }
    }

    void aboutCloses_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("button") << 0;
    }
    void aboutCloses() {
        QFETCH(int, key);
        QPointer<AboutWindow> about = open<AboutWindow>();
        if (key == 0) {
            QTest::mouseClick(child<QPushButton>(about, "cmdOK"), Qt::LeftButton);
        } else {
            QTest::keyClick(about, Qt::Key(key));
        }
        QVERIFY(gone(about));
    }

    // The program ends with its last open window, and each of these counts.
    void lifetime_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("Form4") << 0;
        QTest::newRow("Form2") << 1;
        QTest::newRow("frmAbout") << 2;
    }
    void lifetime() {
        QFETCH(int, which);
        auto *main = new QWidget();
        main->setAttribute(Qt::WA_DeleteOnClose);
        main->show();
        QPointer<QWidget> window;
        if (which == 0) {
            window = open<CalculatorWindow>().data();
        } else if (which == 1) {
            window = open<DescriptionWindow>().data();
        } else {
            window = open<AboutWindow>().data();
        }
        QObject steps;
        int ends = 0;
        connect(qApp, &QGuiApplication::lastWindowClosed, &steps, [&] { ++ends; });
        int endsWithMain = -1;
        // Qt decides about the end only while its event loop runs.
        QTimer::singleShot(0, &steps, [&] {
            main->close();
            endsWithMain = ends;
            window->close();
        });
        // Only guards against a hang, should the program not end.
        QTimer::singleShot(60000, &steps, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(endsWithMain, 0);
        QCOMPARE(ends, 1);
    }
};

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
