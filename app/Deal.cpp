#include "Deal.h"

#include <QRandomGenerator>

namespace {
quint32 systemRandom()
{
    return QRandomGenerator::system()->generate();
}
} // namespace

RandomSource& randomSource()
{
    static RandomSource source = systemRandom;
    return source;
}

void setRandomSource(RandomSource source)
{
    randomSource() = source ? std::move(source) : RandomSource(systemRandom);
}

QList<int> deal(QList<int>& slot)
{
    constexpr int kFaces = 10;
    slot.clear();
    for (int copy = 0; copy < 2; ++copy) {
        for (int face = 0; face < kFaces; ++face)
            slot.append(face);
    }
    QList<int> rows;
    rows.reserve(slot.size());
    while (!slot.isEmpty()) {
        const quint32 r = randomSource()();
        const auto i = static_cast<qsizetype>(r % static_cast<quint32>(slot.size()));
        rows.append(slot.at(i));
        slot.removeAt(i);
    }
    return rows;
}
