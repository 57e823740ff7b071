#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace quorvane {

// One residential community with its current asking price.
struct HouseListing
{
    int id;
    QString community;
    QString district;     // display name
    QString districtCode; // ASCII, used in report links
    int pricePerSquareMetre;
    double monthChangePercent;
    int forSale;
};

// The demo's price data: a fixed set of communities, the watch list each user sees, and a price
// history. Everything is derived from fixed figures so that every run shows the same numbers.
namespace HousePrices {

QList<HouseListing> all();
std::optional<HouseListing> find(int id);

// The communities a user follows: the same eight for the same user name, different users differ.
QList<HouseListing> watchListFor(const QString& userName);

QList<HouseListing> inDistrict(const QString& districtCode);
std::optional<QString> districtName(const QString& districtCode);

// Average asking price of the twelve months up to the current one, oldest first.
QList<int> history(const HouseListing& listing);

// The month the data describes, as the pages show it.
QString currentMonth();

} // namespace HousePrices

} // namespace quorvane
