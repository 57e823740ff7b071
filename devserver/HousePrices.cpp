#include "devserver/HousePrices.h"

#include <QCryptographicHash>
#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

constexpr qsizetype kWatchListSize = 8;

const QList<HouseListing>& catalogue()
{
    static const QList<HouseListing> listings = {
        {1, QStringLiteral("望京花园"), QStringLiteral("朝阳区"), QStringLiteral("chaoyang"), 38600, 2.3,
         126},
        {2, QStringLiteral("阳光上东"), QStringLiteral("朝阳区"), QStringLiteral("chaoyang"), 52400, 1.1, 48},
        {3, QStringLiteral("华清嘉园"), QStringLiteral("海淀区"), QStringLiteral("haidian"), 61800, 0.8, 35},
        {4, QStringLiteral("世纪城"), QStringLiteral("海淀区"), QStringLiteral("haidian"), 45200, -0.4, 210},
        {5, QStringLiteral("金色家园"), QStringLiteral("东城区"), QStringLiteral("dongcheng"), 49900, 0.0,
         22},
        {6, QStringLiteral("北环里小区"), QStringLiteral("东城区"), QStringLiteral("dongcheng"), 43700, 1.6,
         17},
        {7, QStringLiteral("万科星园"), QStringLiteral("西城区"), QStringLiteral("xicheng"), 56300, -1.2, 41},
        {8, QStringLiteral("珠江帝景"), QStringLiteral("朝阳区"), QStringLiteral("chaoyang"), 47100, 0.6, 89},
        {9, QStringLiteral("方庄芳城园"), QStringLiteral("丰台区"), QStringLiteral("fengtai"), 33800, 1.9,
         73},
        {10, QStringLiteral("首开常青藤"), QStringLiteral("丰台区"), QStringLiteral("fengtai"), 29600, -0.7,
         58},
        {11, QStringLiteral("远洋山水"), QStringLiteral("西城区"), QStringLiteral("xicheng"), 35200, 0.3, 96},
        {12, QStringLiteral("枫林绿洲"), QStringLiteral("通州区"), QStringLiteral("tongzhou"), 21400, 2.8,
         150},
    };
    return listings;
}

} // namespace

namespace HousePrices {

QList<HouseListing> all()
{
    return catalogue();
}

std::optional<HouseListing> find(int id)
{
    for (const HouseListing& listing : catalogue()) {
        if (listing.id == id)
            return listing;
    }
    return std::nullopt;
}

QList<HouseListing> watchListFor(const QString& userName)
{
    // Order the catalogue by a digest of user name and community, then keep the first eight in id order.
    QList<QPair<QByteArray, HouseListing>> keyed;
    for (const HouseListing& listing : catalogue()) {
        const QByteArray seed = userName.toLower().toUtf8() + '/' + QByteArray::number(listing.id);
        keyed.append({QCryptographicHash::hash(seed, QCryptographicHash::Md5), listing});
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<HouseListing> chosen;
    for (qsizetype i = 0; i < kWatchListSize && i < keyed.size(); ++i)
        chosen.append(keyed[i].second);
    std::sort(chosen.begin(), chosen.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    return chosen;
}

QList<HouseListing> inDistrict(const QString& districtCode)
{
    QList<HouseListing> found;
    for (const HouseListing& listing : catalogue()) {
        if (listing.districtCode == districtCode)
            found.append(listing);
    }
    return found;
}

std::optional<QString> districtName(const QString& districtCode)
{
    const QList<HouseListing> found = inDistrict(districtCode);
    if (found.isEmpty())
        return std::nullopt;
    return found.first().district;
}

QList<int> history(const HouseListing& listing)
{
    // Walk back from the current price: each earlier month differs by a small, fixed wobble.
    QList<int> prices;
    double price = listing.pricePerSquareMetre;
    for (int month = 0; month < 12; ++month) {
        prices.prepend(static_cast<int>(std::lround(price / 10.0) * 10));
        const double change =
            month == 0 ? listing.monthChangePercent : 0.9 * std::sin(listing.id * 1.7 + month * 0.9) + 0.5;
        price /= 1.0 + change / 100.0;
    }
    return prices;
}

QString currentMonth()
{
    return QStringLiteral("2012年12月");
}

} // namespace HousePrices

} // namespace quorvane
