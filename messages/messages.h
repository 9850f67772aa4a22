#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>

// The messages Lunex shows its user, gathered here so that a translator or a
// newcomer finds them all in one place. Each is the system's own text, every
// blank, accent and capital of it.

namespace lunex {

// --- The evaluations

// "Most!" with a new moon that is not a date.
inline const QString NewMoonMissingMessage =
    QStringLiteral("Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!");
// "Utolsó megfigyelés" with a new moon or an observation that is not a date.
inline const QString InvalidDatesMessage =
    QStringLiteral("Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!");
// Two times more than about 4083 years apart: the minutes overflow.
inline const QString TooFarApartMessage = QStringLiteral("A két időpont túl messze van egymástól!");

// --- The time zone

// The system's zone setting (TZ, or where /etc/localtime leads) that Lunex
// does not know: UTC stands in for it.
QString UnknownZoneMessage(QStringView setting);

// --- The calculator

// A field that is not a number.
inline const QString NotANumberMessage = QStringLiteral("Kérem, VALÓS ADATOT adjon meg!");

// --- The data files and the pictures

// "Utolsó Újhold" and "Utolsó megfigyelés" without their file. The second
// spells the file name with an accent, as it always has; the file has none.
inline const QString NewMoonFileMissingMessage =
    QStringLiteral("Az 'ujhold.txt' fájl nem található!");
inline const QString ObservationFileMissingMessage =
    QStringLiteral("Az 'utolsó.txt' fájl nem található!");
// "Mentés" with a blank observation.
inline const QString EmptyObservationMessage = QStringLiteral("Üres dátumot NEM mentek!");

// Why a data file could not be read or written, in words a user understands.
enum class FileProblem {
    None,
    NoDirectory,     // the Pic directory is missing
    IsDirectory,     // a directory stands where the file should be
    BrokenLink,      // a symbolic link stands there whose target cannot be made
    NoPermission,    // the file or its directory may not be read or written
    DiskFull,        // not every byte reached the disk
    NotAFile,        // a device, a FIFO or a socket stands there
    IsLink,          // a symbolic link stands where a data file is saved
    TooLarge,        // larger than SingleValueFileLimit
    PictureTooLarge, // a picture larger than PictureFileLimit
    ReadOnlyDisk,    // the file system is mounted read-only
    CannotCreate,    // the folder takes no new file (such as /proc)
    NoHome,          // the user has no folder for the data files
    Other,
};

// The largest ujhold.txt and utolso.txt that are loaded: a stored date is a
// few bytes, and gigabytes would stall the window. Its message names it.
inline constexpr qint64 SingleValueFileLimit = 1024 * 1024;
// The largest picture that is loaded: a detailed lunar map runs to megabytes,
// and a picture is decoded whole into memory.
inline constexpr qint64 PictureFileLimit = 32 * 1024 * 1024;

// The reason that follows "nem olvasható:" / "nem menthető:".
QString ProblemText(FileProblem problem);

// "Az 'ujhold.txt' fájl nem menthető: <reason>" and "... nem olvasható: ...".
QString WriteFailureMessage(QStringView fileName, FileProblem problem);
QString ReadFailureMessage(QStringView fileName, FileProblem problem);

// A picture of the Pic directory that is missing or cannot be read whole;
// one too large says so.
QString PictureFailureMessage(QStringView fileName, FileProblem problem);

// At the start of the window, when neither XDG_DATA_HOME nor HOME names a
// folder (by its full path) for the data files: nothing is written.
inline const QString NoHomeMessage =
    QStringLiteral("A felhasználó saját mappája ismeretlen (a HOME nincs beállítva, vagy nem "
                   "teljes elérési út): a Lunex nem ment semmit.");

// A file the user named, which may lie anywhere, could not be saved: its whole
// path, and for a missing folder that folder rather than 'Pic'.
QString UserFileWriteFailureMessage(const QString &path, FileProblem problem);
// And a file the user named that could not be read; one that is not there
// says so.
QString UserFileReadFailureMessage(const QString &path, FileProblem problem);

// --- The observer's place

// The name of a place given only by its coordinates.
inline const QString UnnamedPlace = QStringLiteral("megadott hely");

// The dialog "Megfigyelési hely" with a field it cannot take; the examples
// are written with the locale's decimal separator.
inline const QString PlaceNameMissingMessage =
    QStringLiteral("Kérem, adja meg a megfigyelési hely NEVÉT!");
QString InvalidLatitudeMessage(const QLocale &locale);
QString InvalidLongitudeMessage(const QLocale &locale);
QString InvalidElevationMessage();
inline const QString UnknownZoneNameMessage =
    QStringLiteral("Kérem, válasszon IDŐZÓNÁT a listából (például Europe/Budapest)!");
// Under the fields: the forms they take.
QString CoordinateFormsHint(const QLocale &locale);
// Under them, the skyline's field: its form, and that it belongs to the place.
QString SkylineFormsHint();
// The skyline's field with pairs it cannot read: their numbers, 1-based.
QString InvalidSkylineMessage(const QList<int> &badPairs);
// A horizon file the user chose that holds no azimuth and altitude at all.
QString HorizonFileEmptyMessage(QStringView fileName);

// The place's file that cannot be read or holds no place: why, and the place
// used instead.
QString PlaceFileFallbackMessage(QStringView fileName, QStringView reason,
                                 QStringView fallbackName);
// The place's file names a zone that the time-zone database does not know:
// the place is read, on the system's clock.
QString UnknownPlaceZoneMessage(QStringView fileName, QStringView zone);
// The reason when its line is not a place.
inline const QString MalformedPlaceReason =
    QStringLiteral("nem NÉV;SZÉLESSÉG;HOSSZÚSÁG;MAGASSÁG alakú (például Szeged;46.25;20.14;75).");

// The skyline's file, or a horizon list the user gave, with lines that hold
// no azimuth and altitude: the first few of their numbers, and that they are
// left out while the others stand.
QString HorizonBadLinesMessage(QStringView fileName, const QList<int> &lines);
// The skyline's file that cannot be read: the flat horizon stands in.
QString HorizonFileFallbackMessage(QStringView fileName, FileProblem problem);

} // namespace lunex
