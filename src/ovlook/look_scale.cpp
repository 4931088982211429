// Colour bands of round width from blue to red.
#include "look_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

const look_rgb look_missing = {0.6, 0.6, 0.6};

namespace {

// Cold to warm: dark blue, light blue, pale yellow, orange, dark red.
constexpr look_rgb stops[] = {{0.19, 0.21, 0.58},
                              {0.45, 0.68, 0.82},
                              {1.00, 1.00, 0.75},
                              {0.96, 0.43, 0.26},
                              {0.65, 0.00, 0.15}};
constexpr int stop_count = sizeof stops / sizeof stops[0];

double round_step(double raw)
{
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0})
        if (raw <= m * power * (1 + 1e-9))
            return m * power;
    return 10.0 * power;
}

// Decimals that show x exactly enough for a scale of this step.
int decimals_for(double step)
{
    int d = 0;
    while (d < 6 && std::fabs(step * std::pow(10.0, d) - std::round(step * std::pow(10.0, d))) >
                        1e-6 * step * std::pow(10.0, d))
        d++;
    return d;
}

}  // namespace

look_scale look_scale_for(double min, double max)
{
    if (!(max > min)) {
        double half = std::max(std::fabs(min) * 0.05, 0.5);
        min -= half, max += half;
    }
    double step = round_step((max - min) / 10.0);
    double first = std::floor(min / step) * step;
    int bands = std::max(1, static_cast<int>(std::ceil((max - first) / step - 1e-9)));
    return {first, step, bands};
}

int look_band_of(const look_scale &s, double value)
{
    int band = static_cast<int>(std::floor((value - s.first) / s.step));
    return std::clamp(band, 0, s.bands - 1);
}

look_rgb look_band_colour(const look_scale &s, int band)
{
    double t = (band + 0.5) / s.bands * (stop_count - 1);
    int i = std::clamp(static_cast<int>(t), 0, stop_count - 2);
    double f = t - i;
    const look_rgb &a = stops[i], &b = stops[i + 1];
    return {a.r + f * (b.r - a.r), a.g + f * (b.g - a.g), a.b + f * (b.b - a.b)};
}

std::string look_boundary_text(const look_scale &s, int i)
{
    double value = s.first + i * s.step;
    if (std::fabs(value) < s.step * 1e-9)
        value = 0.0;  // no "-0"
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals_for(s.step), value);
    return text;
}
