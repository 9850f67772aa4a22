#pragma once

#include "store/shorelines.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

// How lunex-shorelines hands the lines it read to the map that runs it: one
// line of text a shore line, its kind's letter (C a coast, L a lake's shore,
// B a border) and its points as longitude and latitude pairs, all parted by
// blanks; then "end" and the number of lines, so that a reply cut short is
// told from a whole one. The numbers are written to the last bit, so the map
// draws exactly what the files hold.
namespace lunex {

// What the reader is asked for: its first argument, then the region's south,
// west, north and east; the file's bytes come on its standard input.
inline constexpr char CoastsArgument[] = "coasts";
inline constexpr char BordersArgument[] = "borders";
// The reader's exit status for bytes that are no GSHHG file of that kind.
inline constexpr int DamagedShorelineFile = 3;

QByteArray ShoreLinesText(const std::vector<ShoreLine> &lines);

// The lines of a reply; nothing unless the whole of it is in the form above,
// with every number finite and on the globe (a longitude may run past ±180°,
// as a region's span does, but not beyond ±720°).
std::optional<std::vector<ShoreLine>> ReadShoreLinesText(QByteArrayView text);

} // namespace lunex
