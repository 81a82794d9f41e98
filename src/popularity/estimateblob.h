#pragma once

#include "popularity/observations.h"
#include "popularity/popularityfit.h"
#include "popularity/popularitymodel.h"
#include "store/digest.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace loto6::popularity {

// The version of the model and of its stored form: a stored blob of another version is made
// again. Raise it whenever the fit, the sums or the layout below change.
inline constexpr std::uint32_t EstimateVersion = 5;

// The key of what a fit learns from: the version, the settings, the draw before which it stops
// (0: none) and every field of every draw it may read (numbers, winners, prizes, carry-over,
// sales), so that any change of the history or the payouts gives another key.
Digest learningKey(
    const std::vector<DrawObservation> &draws, int beforeDraw, const FitSettings &settings);

// Writes a stored form: little-endian fields, a 16-byte checksum of all of it at the end.
class BlobWriter
{
public:
    void u32(std::uint32_t v);
    void f64(double v);
    void f64s(const std::vector<double> &v);
    void f32s(const std::vector<float> &v);
    void u32s(const std::vector<std::uint32_t> &v);
    void digest(const Digest &d);
    // The bytes with their checksum.
    std::string finish() const;

private:
    std::string m_bytes;
};

// Reads one back, never trusting it: a checksum that does not match, a field past the end or
// a value that is not finite makes ok() false, and every later read gives zeros.
class BlobReader
{
public:
    // Reads `blob` in place: it must outlive the reader.
    explicit BlobReader(std::string_view blob);
    std::uint32_t u32();
    double f64();
    void f64s(std::size_t count, std::vector<double> &out);
    void f32s(std::size_t count, std::vector<float> &out);
    void u32s(std::size_t count, std::vector<std::uint32_t> &out);
    Digest digest();
    // A check of the caller's: false spoils the whole read.
    void require(bool condition) { m_ok = m_ok && condition; }
    bool ok() const { return m_ok; }
    // Every byte was read.
    bool finished() const { return m_ok && m_at == m_body.size(); }

private:
    bool take(std::size_t bytes);
    // `count` finite values of T.
    template<typename T>
    void values(std::size_t count, std::vector<T> &out);

    std::string_view m_body;
    std::size_t m_at = 0;
    bool m_ok = false;
};

// A fitted model (terms, weights, normaliser, calibration) in the stored form, and back.
void writeModel(BlobWriter &w, const PopularityModel &model);
std::optional<PopularityModel> readModel(BlobReader &r);

// The count laws of a model's tiers (written after everything else of a stored form), and
// back into the model.
void writeCountLaws(BlobWriter &w, const PopularityModel &model);
void readCountLaws(BlobReader &r, PopularityModel &model);

// A backtest's fit alone, stored under its learning key.
std::string fitBlob(const PopularityModel &model, const Digest &key);
std::optional<PopularityModel> fitFromBlob(std::string_view blob, const Digest &key);

} // namespace loto6::popularity
