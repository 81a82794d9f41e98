#include "popularity/estimateblob.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace loto6::popularity {

namespace {

constexpr std::uint32_t FitMagic = 0x5446364C; // "L6FT"
constexpr std::size_t ChecksumBytes = 16;

template<typename T>
void append(std::string &out, T v)
{
    char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    out.append(bytes, sizeof v);
}

// Fields laid end to end as append lays them, in a buffer of fixed room.
template<std::size_t Room>
struct FieldBuffer
{
    char bytes[Room];
    std::size_t size = 0;

    template<typename T>
    void add(T v)
    {
        static_assert(sizeof v <= Room);
        std::memcpy(bytes + size, &v, sizeof v);
        size += sizeof v;
    }
};

} // namespace

Digest learningKey(
    const std::vector<DrawObservation> &draws, int beforeDraw, const FitSettings &settings)
{
    std::string bytes;
    append(bytes, EstimateVersion);
    append(bytes, beforeDraw);
    append(bytes, settings.terms.perNumber);
    for (PairTrait t : settings.terms.pairs)
        append(bytes, static_cast<int>(t));
    append(bytes, -1);
    append(bytes, settings.numberPenalty);
    append(bytes, settings.traitPenalty);
    append(bytes, settings.halfLife);
    // Each draw's fields gathered in place, then added at once: growing the string field by
    // field cost more than the digest.
    FieldBuffer<sizeof(DrawObservation) * 2> row;
    for (const DrawObservation &o : draws) {
        if (beforeDraw != 0 && o.drawNo >= beforeDraw)
            continue;
        row.size = 0;
        row.add(o.drawNo);
        for (int n : o.numbers)
            row.add(n);
        row.add(o.bonus);
        for (std::size_t t = 0; t < o.winners.size(); ++t) {
            row.add(o.winners[t]);
            row.add(o.prize[t]);
        }
        row.add(o.carryOver);
        row.add(o.sales.has_value());
        row.add(o.sales.value_or(0));
        bytes.append(row.bytes, row.size);
    }
    return digestOf(bytes);
}

void BlobWriter::u32(std::uint32_t v) { append(m_bytes, v); }
void BlobWriter::f64(double v) { append(m_bytes, v); }

void BlobWriter::f64s(const std::vector<double> &v)
{
    m_bytes.append(reinterpret_cast<const char *>(v.data()), v.size() * sizeof(double));
}

void BlobWriter::f32s(const std::vector<float> &v)
{
    m_bytes.append(reinterpret_cast<const char *>(v.data()), v.size() * sizeof(float));
}

void BlobWriter::u32s(const std::vector<std::uint32_t> &v)
{
    m_bytes.append(reinterpret_cast<const char *>(v.data()), v.size() * sizeof(std::uint32_t));
}

void BlobWriter::digest(const Digest &d)
{
    append(m_bytes, d[0]);
    append(m_bytes, d[1]);
}

std::string BlobWriter::finish() const
{
    std::string out = m_bytes;
    const Digest sum = digestOf(m_bytes);
    append(out, sum[0]);
    append(out, sum[1]);
    return out;
}

BlobReader::BlobReader(std::string_view blob)
{
    if (blob.size() < ChecksumBytes)
        return;
    m_body = blob.substr(0, blob.size() - ChecksumBytes);
    Digest stored{};
    std::memcpy(stored.data(), blob.data() + m_body.size(), ChecksumBytes);
    m_ok = stored == digestOf(m_body);
}

bool BlobReader::take(std::size_t bytes)
{
    m_ok = m_ok && bytes <= m_body.size() - m_at;
    return m_ok;
}

std::uint32_t BlobReader::u32()
{
    std::uint32_t v = 0;
    if (take(sizeof v))
        std::memcpy(&v, m_body.data() + m_at, sizeof v);
    m_at += m_ok ? sizeof v : 0;
    return v;
}

double BlobReader::f64()
{
    double v = 0;
    if (take(sizeof v))
        std::memcpy(&v, m_body.data() + m_at, sizeof v);
    m_at += m_ok ? sizeof v : 0;
    require(std::isfinite(v));
    return m_ok ? v : 0.0;
}

template<typename T>
void BlobReader::values(std::size_t count, std::vector<T> &out)
{
    out.clear();
    if (count > m_body.size() / sizeof(T) || !take(count * sizeof(T)))
        return void(m_ok = false);
    out.resize(count);
    if (count > 0) // an empty vector has no storage to copy into
        std::memcpy(out.data(), m_body.data() + m_at, count * sizeof(T));
    m_at += count * sizeof(T);
    if constexpr (std::is_floating_point_v<T>)
        for (T v : out)
            require(std::isfinite(v));
}

void BlobReader::f64s(std::size_t count, std::vector<double> &out) { values(count, out); }
void BlobReader::f32s(std::size_t count, std::vector<float> &out) { values(count, out); }
void BlobReader::u32s(std::size_t count, std::vector<std::uint32_t> &out) { values(count, out); }

Digest BlobReader::digest()
{
    Digest d{};
    for (std::uint64_t &part : d)
        if (take(sizeof part)) {
            std::memcpy(&part, m_body.data() + m_at, sizeof part);
            m_at += sizeof part;
        }
    return d;
}

void writeModel(BlobWriter &w, const PopularityModel &model)
{
    w.u32(model.terms().perNumber ? 1 : 0);
    w.u32(static_cast<std::uint32_t>(model.terms().pairs.size()));
    for (PairTrait t : model.terms().pairs)
        w.u32(static_cast<std::uint32_t>(t));
    for (double v : model.numberWeights())
        w.f64(v);
    w.f64s(model.traitWeights());
    w.f64(model.logNormaliser());
    for (int tier = 1; tier <= Tiers; ++tier) {
        const PopularityModel::TierCalibration &c = model.calibration(tier);
        w.f64(c.a);
        w.f64(c.b);
        w.f64(c.c);
    }
}

std::optional<PopularityModel> readModel(BlobReader &r)
{
    ModelTerms terms;
    const std::uint32_t perNumber = r.u32();
    const std::uint32_t pairs = r.u32();
    r.require(perNumber <= 1 && pairs <= PairTraitCount);
    terms.perNumber = perNumber == 1;
    for (std::uint32_t i = 0; r.ok() && i < pairs; ++i) {
        const std::uint32_t t = r.u32();
        r.require(t < PairTraitCount);
        terms.pairs.push_back(static_cast<PairTrait>(t));
    }
    std::array<double, HighestNumber> numbers{};
    for (double &v : numbers)
        v = r.f64();
    std::vector<double> traits;
    r.f64s(r.ok() ? pairs : 0, traits);
    const double logNormaliser = r.f64();
    std::array<PopularityModel::TierCalibration, Tiers> calibration{};
    for (PopularityModel::TierCalibration &c : calibration)
        c = {r.f64(), r.f64(), r.f64()};
    if (!r.ok())
        return std::nullopt;
    PopularityModel model(std::move(terms), numbers, std::move(traits), logNormaliser);
    for (int tier = 1; tier <= Tiers; ++tier)
        model.setCalibration(tier, calibration[static_cast<std::size_t>(tier - 1)]);
    return model;
}

void writeCountLaws(BlobWriter &w, const PopularityModel &model)
{
    for (int tier = 1; tier <= Tiers; ++tier) {
        const CountLaw &law = model.countLaw(tier);
        for (double v : {law.scale, law.shape, law.crowdWeight, law.crowdFactor, law.crowdShape})
            w.f64(v);
    }
}

void readCountLaws(BlobReader &r, PopularityModel &model)
{
    for (int tier = 1; tier <= Tiers; ++tier) {
        CountLaw law;
        for (double *v :
            {&law.scale, &law.shape, &law.crowdWeight, &law.crowdFactor, &law.crowdShape})
            *v = r.f64();
        r.require(law.scale > 0 && law.shape >= 0 && law.crowdWeight >= 0 && law.crowdWeight < 1
            && law.crowdFactor >= 1 && law.crowdShape > 0);
        if (r.ok())
            model.setCountLaw(tier, law);
    }
}

std::string fitBlob(const PopularityModel &model, const Digest &key)
{
    BlobWriter w;
    w.u32(FitMagic);
    w.u32(EstimateVersion);
    w.digest(key);
    writeModel(w, model);
    writeCountLaws(w, model);
    return w.finish();
}

std::optional<PopularityModel> fitFromBlob(std::string_view blob, const Digest &key)
{
    BlobReader r(blob);
    r.require(r.u32() == FitMagic);
    r.require(r.u32() == EstimateVersion);
    r.require(r.digest() == key);
    std::optional<PopularityModel> model = readModel(r);
    if (model)
        readCountLaws(r, *model);
    return r.finished() ? model : std::nullopt;
}

} // namespace loto6::popularity
