#include "app/info/aboutwindow.h"

#include "look/colours.h"
#include "look/look.h"
#include "lunex_version.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace lunex {

using look::Face;
using look::TwipsRect;

namespace {

// The address as the label shows it: without its scheme, which the tooltip
// keeps.
QString WithoutScheme(const QString &address) {
    const qsizetype separator = address.indexOf(QStringLiteral("://"));
    return separator < 0 ? address : address.mid(separator + 3);
}

} // namespace

// A plain dialog, although a tool window would stay out of the task bar: Qt
// does not count tool windows as open, so closing the main window would end
// the program under an open About window.
AboutWindow::AboutWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowIcon(look::AppIcon());
    setFixedSize(look::Px(5730), look::Px(4290));
    setSizeGripEnabled(false);
    // The texts in the system's window-text colour: the classic one, which
    // stays readable on the light cyan whatever the theme (colours.h).
    look::SetColours(this, look::LightCyan, look::ClassicWindowText);

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFrameShape(QFrame::Box);
    picIcon->setLineWidth(1);
    picIcon->setPixmap(look::AppIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    picIcon->move(look::TwipsPoint(240, 240));
    picIcon->adjustSize();

    const QString shortTitle = QString::fromUtf8(ShortTitle);
    auto *title = look::AddLabel(this, "lblTitle", QString(), TwipsRect(1080, 240, 3525, 480),
                                 look::Font(Face::ArialNarrow, 18, true));
    const QFont narrow = look::Font(Face::ArialNarrow, 14.25);
    look::AddLabel(this, "Label3", QStringLiteral("Holdsarló kor és fázis számoló"),
                   TwipsRect(1080, 720, 4455, 495), narrow);
    auto *version = look::AddLabel(this, "lblVersion", QString(), TwipsRect(1080, 1320, 2205, 345),
                                   look::Font(Face::ArialNarrow, 14.25, true));
    look::AddLabel(this, "Label1", QStringLiteral("(x86  / 32-bit)"),
                   TwipsRect(2880, 1320, 2055, 375), narrow);
    look::AddLabel(this, "Label4", QStringLiteral("Basalt Edition"),
                   TwipsRect(2880, 1800, 2415, 375), look::Font(Face::HeavySans, 11.25));
    auto *rights =
        look::AddLabel(this, "lblDescription", QStringLiteral("© 2026 a Lunex fejlesztői"),
                       TwipsRect(1080, 2520, 4485, 450), narrow);
    look::SetColours(rights, look::LightCyan, look::Black);
    const QString address = QString::fromUtf8(WebAddress);
    auto *web = look::AddLabel(this, "Label2", WithoutScheme(address),
                               TwipsRect(2400, 3000, 2895, 375), narrow, Qt::AlignRight);
    web->setToolTip(address);

    auto *ok =
        look::AddButton(this, "cmdOK", QStringLiteral("OK"), TwipsRect(2400, 3720, 1020, 345),
                        look::PaleGreen, look::Font(Face::MSSansSerif, 8.25, true));
    ok->setDefault(true);
    // Esc rejects the dialog, which closes it like the button does.
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    ok->setFocus();

    // The texts that name this build come from the build's own version.
    setWindowTitle(QStringLiteral("About ") + shortTitle);
    version->setText(QStringLiteral("Version %1.%2.%3")
                         .arg(VersionMajor)
                         .arg(VersionMinor)
                         .arg(VersionRevision));
    title->setText(shortTitle);
    look::CentreOnScreen(this);
}

void AboutWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    look::DrawTwipsLine(painter, 240, 3480, 5400, 3480, look::Grey); // Line1
}

} // namespace lunex
