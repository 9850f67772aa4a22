#pragma once

#include "lunar/ephemeris.h"
#include "lunar/evenings.h"
#include "lunar/horizon.h"
#include "lunar/yearoverview.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// The evenings after each new moon as CSV, for spreadsheets and scripts: one
// row an evening, the place on every row, times in ISO 8601 with the zone's
// offset and the zone named in the last column, the numbers where the evening
// has them and empty cells where not.
namespace lunex {

enum class CsvForm {
    Plain,     // ',' between the cells and '.' decimals, as scripts expect
    Hungarian, // ';' and decimal commas, marked as UTF-8: Hungarian spreadsheet
               // programs open it in columns, accents and all
};

// The pieces for other tables in the same two forms: what the text starts
// with (the byte-order mark of the Hungarian form), a row of cells (quoted
// where they need it, separated, ended by a line break; free text among them
// guarded by the caller with FormulaGuarded, texts/csvcell.h) and a number.
QString CsvStart(CsvForm form);
QString CsvRow(const QStringList &cells, CsvForm form);
QString CsvNumber(double value, int decimals, CsvForm form);

// Mornings have the evenings' columns where they mean the same, their own
// where not (napkelte, holdkelte, utolso_szabad_szemmel,
// utolso_optikai_eszkozzel); with both, a column napszak tells them apart
// and the other's own columns are empty. Times on `zone`'s clock; each row's
// date is the place's own, on the clock of `placeZone`. With the place's own
// skyline (the lunations computed against it) two columns say where the Moon
// stands against it: hold_horizont_felett, 1 or 0 at the best time, and
// hold_horizont_mogott, when it sinks behind it (rises above it in the
// morning). A flat horizon leaves them out, so a table without a skyline keeps
// the columns scripts already read.
QString FormatEveningsCsv(const QList<Lunation> &lunations, const QString &placeName,
                          const Place &place, const QTimeZone &zone, const QTimeZone &placeZone,
                          CsvForm form, DayParts parts = DayParts::Evenings,
                          const HorizonProfile &skyline = {});

// The year at a glance: one row a lunation, with the last morning and the
// first evening optical aid and the eye show its crescent (empty cells where
// none does), each marked when it is the year's record chance.
QString FormatYearCsv(const YearOverview &year, const QString &placeName, const Place &place,
                      const QTimeZone &zone, CsvForm form);

} // namespace lunex
