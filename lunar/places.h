#pragma once

#include "lunar/ephemeris.h"

#include <QList>
#include <QStringView>

#include <array>
#include <optional>

// The places that lunex-crescents knows by name: the Hungarian county seats with
// Budapest (the seat of Pest county), and cities around the world chosen to cover
// every kind of evening the crescent can have: polar (Tromsø, Longyearbyen),
// equatorial (Jakarta, Nairobi), far south (Cape Town, Santiago, Ushuaia), either
// side of the date line (Auckland, Suva, Apia, Honolulu) and the places where the
// first crescent is watched for the Islamic calendar (Mecca, Cairo, Karachi,
// Dhaka, Kuala Lumpur, Jakarta).
//
// Source: city-centre coordinates and elevations compiled by hand for Lunex and
// checked at random against the values the cities' encyclopaedia entries publish
// (Wikipedia): latitudes and longitudes rounded to 0.01° (about 1 km), elevations
// of the centre to about 10 m. The cities that give their name to a zone of the
// tz database agree with its `zone1970.tab` to within 0.1°. For the crescent 0.1°
// of longitude is 24 seconds of time. Each place's zone is the one zone.tab
// gives its city, or its country's where the city names none.
namespace lunex {

struct NamedPlace {
    QStringView name;                   // as printed: the Hungarian one where Hungarian has its own
    std::array<QStringView, 2> aliases; // other names it is found by; the unused ones empty
    Place place;                        // north and east positive, metres above sea level
    QStringView zone;                   // its clock: a name of the time-zone database
};

inline constexpr auto BuiltInPlaces = std::to_array<NamedPlace>({
    {u"Budapest", {}, {47.50, 19.04, 105}, u"Europe/Budapest"},
    {u"Békéscsaba", {}, {46.67, 21.09, 87}, u"Europe/Budapest"},
    {u"Debrecen", {}, {47.53, 21.63, 121}, u"Europe/Budapest"},
    {u"Eger", {}, {47.90, 20.38, 160}, u"Europe/Budapest"},
    {u"Győr", {}, {47.69, 17.65, 108}, u"Europe/Budapest"},
    {u"Kaposvár", {}, {46.36, 17.80, 153}, u"Europe/Budapest"},
    {u"Kecskemét", {}, {46.91, 19.69, 114}, u"Europe/Budapest"},
    {u"Miskolc", {}, {48.10, 20.78, 130}, u"Europe/Budapest"},
    {u"Nyíregyháza", {}, {47.96, 21.72, 111}, u"Europe/Budapest"},
    {u"Pécs", {}, {46.07, 18.23, 153}, u"Europe/Budapest"},
    {u"Salgótarján", {}, {48.10, 19.80, 250}, u"Europe/Budapest"},
    {u"Szeged", {}, {46.25, 20.14, 75}, u"Europe/Budapest"},
    {u"Székesfehérvár", {}, {47.19, 18.42, 118}, u"Europe/Budapest"},
    {u"Szekszárd", {}, {46.35, 18.71, 110}, u"Europe/Budapest"},
    {u"Szolnok", {}, {47.16, 20.18, 85}, u"Europe/Budapest"},
    {u"Szombathely", {}, {47.23, 16.62, 209}, u"Europe/Budapest"},
    {u"Tatabánya", {}, {47.57, 18.40, 170}, u"Europe/Budapest"},
    {u"Veszprém", {}, {47.09, 17.91, 260}, u"Europe/Budapest"},
    {u"Zalaegerszeg", {}, {46.84, 16.85, 156}, u"Europe/Budapest"},
    {u"Apia", {}, {-13.83, -171.77, 2}, u"Pacific/Apia"},
    {u"Anchorage", {}, {61.22, -149.90, 31}, u"America/Anchorage"},
    {u"Auckland", {}, {-36.85, 174.76, 26}, u"Pacific/Auckland"},
    {u"Bécs", {u"Vienna", u"Wien"}, {48.21, 16.37, 190}, u"Europe/Vienna"},
    {u"Buenos Aires", {}, {-34.60, -58.38, 25}, u"America/Argentina/Buenos_Aires"},
    {u"Casablanca", {}, {33.57, -7.59, 50}, u"Africa/Casablanca"},
    {u"Dakka", {u"Dhaka"}, {23.81, 90.41, 4}, u"Asia/Dhaka"},
    {u"Fokváros", {u"Cape Town", u"Kaapstad"}, {-33.92, 18.42, 25}, u"Africa/Johannesburg"},
    {u"Helsinki", {}, {60.17, 24.94, 15}, u"Europe/Helsinki"},
    {u"Honolulu", {}, {21.31, -157.86, 6}, u"Pacific/Honolulu"},
    {u"Isztambul", {u"Istanbul"}, {41.01, 28.98, 39}, u"Europe/Istanbul"},
    {u"Jakarta", {u"Dzsakarta"}, {-6.21, 106.85, 8}, u"Asia/Jakarta"},
    {u"Jeruzsálem", {u"Jerusalem"}, {31.77, 35.21, 754}, u"Asia/Jerusalem"},
    {u"Kairó", {u"Cairo"}, {30.04, 31.24, 23}, u"Africa/Cairo"},
    {u"Karacsi", {u"Karachi"}, {24.86, 67.00, 8}, u"Asia/Karachi"},
    {u"Kuala Lumpur", {}, {3.14, 101.69, 56}, u"Asia/Kuala_Lumpur"},
    {u"Lagos", {}, {6.52, 3.38, 41}, u"Africa/Lagos"},
    {u"London", {}, {51.51, -0.13, 11}, u"Europe/London"},
    {u"Longyearbyen", {}, {78.22, 15.63, 10}, u"Arctic/Longyearbyen"},
    {u"Los Angeles", {}, {34.05, -118.24, 93}, u"America/Los_Angeles"},
    {u"Madrid", {}, {40.42, -3.70, 657}, u"Europe/Madrid"},
    {u"Mekka", {u"Mecca", u"Makkah"}, {21.42, 39.83, 277}, u"Asia/Riyadh"},
    {u"Mexikóváros",
     {u"Mexico City", u"Ciudad de México"},
     {19.43, -99.13, 2240},
     u"America/Mexico_City"},
    {u"Moszkva", {u"Moscow"}, {55.76, 37.62, 156}, u"Europe/Moscow"},
    {u"Nairobi", {}, {-1.29, 36.82, 1795}, u"Africa/Nairobi"},
    {u"New York", {}, {40.71, -74.01, 10}, u"America/New_York"},
    {u"Párizs", {u"Paris"}, {48.86, 2.35, 35}, u"Europe/Paris"},
    {u"Peking", {u"Beijing"}, {39.90, 116.41, 44}, u"Asia/Shanghai"},
    {u"Reykjavík", {}, {64.15, -21.94, 20}, u"Atlantic/Reykjavik"},
    {u"Rio de Janeiro", {}, {-22.91, -43.17, 5}, u"America/Sao_Paulo"},
    {u"Róma", {u"Rome", u"Roma"}, {41.90, 12.50, 21}, u"Europe/Rome"},
    {u"Santiago", {u"Santiago de Chile"}, {-33.45, -70.67, 570}, u"America/Santiago"},
    {u"Suva", {}, {-18.12, 178.45, 10}, u"Pacific/Fiji"},
    {u"Sydney", {}, {-33.87, 151.21, 58}, u"Australia/Sydney"},
    {u"Teherán", {u"Tehran"}, {35.69, 51.39, 1190}, u"Asia/Tehran"},
    {u"Tokió", {u"Tokyo"}, {35.68, 139.65, 40}, u"Asia/Tokyo"},
    {u"Tromsø", {u"Tromso"}, {69.65, 18.96, 10}, u"Europe/Oslo"},
    {u"Újdelhi", {u"New Delhi"}, {28.61, 77.21, 216}, u"Asia/Kolkata"},
    {u"Ushuaia", {}, {-54.80, -68.30, 20}, u"America/Argentina/Ushuaia"},
});

// A built-in place by its name or one of its aliases, regardless of capitals,
// accents and extra blanks ("tromso" finds Tromsø).
std::optional<NamedPlace> FindPlace(QStringView name);

// The text with the accents of its letters left off, as the names are matched
// ("Székesfehérvár" is "Szekesfehervar"; ø, which Unicode does not take apart,
// is o).
QString WithoutAccents(QStringView text);

// The built-in places whose name or an alias contains the typed text, matched
// as FindPlace matches ("szekesfehervar" finds Székesfehérvár, "wien" Bécs), in
// Hungarian alphabetical order; all of them for an empty text.
QList<NamedPlace> SearchPlaces(QStringView typed);

// The heights an observer can stand at, from the shore of the Dead Sea to the
// highest mountains, in metres above sea level.
inline constexpr double LowestElevation = -500;
inline constexpr double HighestElevation = 9000;

} // namespace lunex
