#include "engine/pcm_equalizer_design.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "engine/equalizer.h"

namespace engine {
namespace {

// Each band of the MPEG equalizer scales whole subbands of 689 Hz at 44.1 kHz:
// one for each of the six lowest bands, then 2, 4, 8 and 12. A filter as wide
// as its band's subbands, and a little narrower so that neighbours in the
// crowded middle overlap less, keeps the curve close to the subband one.
constexpr double kSubbandHertz = 44100.0 / 64;
constexpr std::array<int, kEqualizerBands> kSubbandsOfBand = {1, 1, 1, 1, 1, 1, 2, 4, 8, 12};
constexpr double kNarrowing = 1.6;

// Neighbouring filters still add up where they overlap; the filter gains are
// corrected this many times so the centres land where the settings say.
constexpr int kCorrections = 2;
// Far beyond any gain settings can ask for; keeps a corrected filter sane.
constexpr double kLargestFilterDecibels = 30;

constexpr int32_t kMiddlePosition = 31;

double QualityOfBand(int band) {
    return kNarrowing * kBandCentres[band] / (kSubbandHertz * kSubbandsOfBand[band]);
}

double FilterResponseDecibels(const PeakingCoefficients& c, double angle) {
    const std::complex<double> z = std::polar(1.0, -angle);
    const std::complex<double> numerator = c.b0 + c.a1 * z + c.b2 * z * z;
    const std::complex<double> denominator = 1.0 + c.a1 * z + c.a2 * z * z;
    return 20 * std::log10(std::abs(numerator / denominator));
}

double Angle(const EqualizerDesign& design, double hertz) {
    return 2 * std::numbers::pi * hertz / design.sampleRate;
}

// Solves matrix × x = vector in place by Gaussian elimination with partial
// pivoting, over the bands that have a filter.
std::array<double, kEqualizerBands> Solve(const EqualizerDesign& design,
                                          std::array<std::array<double, kEqualizerBands>, kEqualizerBands> matrix,
                                          std::array<double, kEqualizerBands> vector) {
    int rows[kEqualizerBands];
    int count = 0;
    for (int band = 0; band < kEqualizerBands; ++band) {
        if (design.present[band]) rows[count++] = band;
    }
    for (int column = 0; column < count; ++column) {
        int pivot = column;
        for (int row = column + 1; row < count; ++row) {
            if (std::abs(matrix[rows[row]][rows[column]]) > std::abs(matrix[rows[pivot]][rows[column]])) pivot = row;
        }
        std::swap(matrix[rows[column]], matrix[rows[pivot]]);
        std::swap(vector[rows[column]], vector[rows[pivot]]);
        const auto& top = matrix[rows[column]];
        for (int row = 0; row < count; ++row) {
            if (row == column) continue;
            const double factor = matrix[rows[row]][rows[column]] / top[rows[column]];
            for (int k = column; k < count; ++k) matrix[rows[row]][rows[k]] -= factor * top[rows[k]];
            vector[rows[row]] -= factor * vector[rows[column]];
        }
    }
    std::array<double, kEqualizerBands> solution{};
    for (int row = 0; row < count; ++row) solution[rows[row]] = vector[rows[row]] / matrix[rows[row]][rows[row]];
    return solution;
}

}  // namespace

EqualizerDesign DesignForRate(int32_t sampleRate) {
    EqualizerDesign design;
    design.sampleRate = sampleRate;
    for (int band = 0; band < kEqualizerBands; ++band) {
        design.present[band] = sampleRate > 0 && kBandCentres[band] < sampleRate / 2.0;
        if (!design.present[band]) continue;
        const double angle = Angle(design, kBandCentres[band]);
        design.cosine[band] = std::cos(angle);
        design.alpha[band] = std::sin(angle) / (2 * QualityOfBand(band));
    }
    for (int filter = 0; filter < kEqualizerBands; ++filter) {
        if (!design.present[filter]) continue;
        const PeakingCoefficients unit = PeakingFilter(design, filter, 1.0);
        for (int centre = 0; centre < kEqualizerBands; ++centre) {
            if (!design.present[centre]) continue;
            design.interaction[centre][filter] = FilterResponseDecibels(unit, Angle(design, kBandCentres[centre]));
        }
    }
    return design;
}

bool IsFlat(const PlayerEqSettings& settings) {
    if (settings.enabled == 0) return true;
    if (settings.preamp != kMiddlePosition) return false;
    return std::all_of(std::begin(settings.bands), std::end(settings.bands),
                       [](int32_t band) { return band == kMiddlePosition; });
}

EqualizerCurve CurveForSettings(const EqualizerDesign& design, const PlayerEqSettings& settings) {
    EqualizerCurve curve;
    if (IsFlat(settings)) return curve;
    // What all bands share goes into the common gain, so that moving every
    // slider together needs no filter at all and the filters only shape.
    std::array<double, kEqualizerBands> wanted{};
    int present = 0;
    double sum = 0;
    for (int band = 0; band < kEqualizerBands; ++band) {
        if (!design.present[band]) continue;
        wanted[band] = BandDecibels(settings, band);
        sum += wanted[band];
        ++present;
    }
    if (present == 0) return curve;
    curve.commonDecibels = sum / present;
    for (int band = 0; band < kEqualizerBands; ++band) {
        if (design.present[band]) wanted[band] -= curve.commonDecibels;
    }
    // A filter's response in dB grows nearly in proportion to its gain, so
    // the interaction matrix gives the gains; the few tenths of a decibel it
    // misses are corrected the same way.
    curve.bandDecibels = wanted;
    EqualizerCurve shapeOnly;
    for (int pass = 0; pass < kCorrections; ++pass) {
        shapeOnly.bandDecibels = curve.bandDecibels;
        std::array<double, kEqualizerBands> error{};
        for (int band = 0; band < kEqualizerBands; ++band) {
            if (design.present[band]) error[band] = wanted[band] - ResponseDecibels(design, shapeOnly, kBandCentres[band]);
        }
        const std::array<double, kEqualizerBands> step = Solve(design, design.interaction, error);
        for (int band = 0; band < kEqualizerBands; ++band) {
            curve.bandDecibels[band] =
                std::clamp(curve.bandDecibels[band] + step[band], -kLargestFilterDecibels, kLargestFilterDecibels);
        }
    }
    return curve;
}

PeakingCoefficients PeakingFilter(const EqualizerDesign& design, int band, double decibels) {
    const double amplitude = std::pow(10.0, decibels / 40);
    const double alpha = design.alpha[band];
    const double a0 = 1 + alpha / amplitude;
    PeakingCoefficients c;
    c.b0 = (1 + alpha * amplitude) / a0;
    c.a1 = -2 * design.cosine[band] / a0;
    c.b2 = (1 - alpha * amplitude) / a0;
    c.a2 = (1 - alpha / amplitude) / a0;
    return c;
}

double ResponseDecibels(const EqualizerDesign& design, const EqualizerCurve& curve, double hertz) {
    double total = curve.commonDecibels;
    for (int band = 0; band < kEqualizerBands; ++band) {
        if (!design.present[band] || curve.bandDecibels[band] == 0) continue;
        total += FilterResponseDecibels(PeakingFilter(design, band, curve.bandDecibels[band]), Angle(design, hertz));
    }
    return total;
}

}  // namespace engine
